#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// The barcode search as the consignment screen uses it: made once, on first use, and shown
// modally for each search. It yields the chosen barcode, or nothing when it closed without OK.
//
// The screen gets its search from a factory, so that it works with the search dialog of the
// forms library and with any dialog of the same interface:
//     screen->setBarcodeSearchFactory(BarcodeSearch::forDialog<TFrSearchBarCode>());
class BarcodeSearch
{
public:
    using Factory = std::function<std::unique_ptr<BarcodeSearch>(QWidget *parent)>;

    virtual ~BarcodeSearch() = default;

    // Shows the search modally; the chosen barcode when it closed with OK.
    virtual std::optional<QString> choose() = 0;

    // A search over a dialog class with the barcode dialog's interface: a constructor taking the
    // parent widget, int ShowModal() giving QDialog::Accepted for OK, and QString SelectedBarCode.
    template <typename Dialog>
    static Factory forDialog()
    {
        return [](QWidget *parent) -> std::unique_ptr<BarcodeSearch> {
            struct Adapter : BarcodeSearch {
                explicit Adapter(QWidget *parent)
                    : dialog(new Dialog(parent))
                {}
                ~Adapter() override { delete dialog.data(); }
                std::optional<QString> choose() override
                {
                    if (!dialog || dialog->ShowModal() != QDialog::Accepted)
                        return std::nullopt;
                    return dialog->SelectedBarCode;
                }
                QPointer<Dialog> dialog; // the parent may have deleted it already
            };
            return std::make_unique<Adapter>(parent);
        };
    }
};
