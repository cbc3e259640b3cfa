#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportFunctionHandler.h"
#include "platform/report/ReportPrepareResult.h"
#include "platform/report/ReportPrintOptions.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <memory>

class QPrinter;
class QWidget;
class ReportDataProvider;
class ReportPreviewWindow;

// The report engine a report screen owns. Typical use:
//   engine.clear(); engine.loadFromFile(path);
//   engine.setVariable("RPTITLE", "'Sales'"); engine.setVariable("GetYear", "2024");
//   if (engine.showReport()) ...          // prepare and open the non-modal preview
//   or: if (engine.prepare()) engine.printPreparedReport({});
// A definition that cannot be read, or an expression that does not compile or fails while
// the report runs, makes prepare() fail with a message naming the line; exceptions raised by
// the data provider or the function handler leave prepare() unchanged.
class ReportEngine : public QObject
{
    Q_OBJECT

public:
    explicit ReportEngine(QObject *parent = nullptr);
    ~ReportEngine() override;

    // Loads a definition file; false (and the reason in loadError()) when it cannot be read.
    // A failed load also makes the next prepare() fail with that reason.
    bool loadFromFile(const QString &path);
    QString loadError() const { return m_loadError; }
    // Forgets the definition, the variables and the prepared report.
    void clear();
    bool isLoaded() const { return m_loaded; }
    const ReportDefinition &definition() const { return m_definition; }

    // A variable's value is an expression: "'text'", "true", "2024", "GetYear + 1".
    // Names are matched without regard to case; setting a name again replaces its value.
    void setVariable(const QString &name, const QString &expression);
    QString variable(const QString &name) const;

    void setDataProvider(ReportDataProvider *provider);
    void setFunctionHandler(ReportFunctionHandler handler);

    ReportPrepareResult prepare();
    bool isPrepared() const { return m_prepared; }
    const ReportDocument &document() const { return m_document; }

    // Opens the non-modal preview of the prepared report and returns it (it deletes itself
    // when closed); nullptr when nothing is prepared.
    ReportPreviewWindow *showPreview(QWidget *parent = nullptr);
    // Prepares and, when that succeeds, opens the preview.
    ReportPrepareResult showReport(QWidget *parent = nullptr);

    // The printer used by printPreparedReport() and the preview; the host's printer set-up
    // dialog configures it.
    QPrinter &printer();
    // Prints the prepared report; returns the number of pages sent.
    int printPreparedReport(const ReportPrintOptions &options);
    // Raises EInOutError when the file cannot be written.
    void exportTo(ReportExport::Format format, const QString &path) const;

private:
    QVariantMap datasetParameters(const ReportDatasetDefinition &dataset, class ReportScript &script) const;

    ReportDefinition m_definition;
    bool m_loaded = false;
    QString m_loadError;
    QList<QPair<QString, QString>> m_variables;
    ReportDataProvider *m_provider = nullptr;
    ReportFunctionHandler m_handler;
    ReportDocument m_document;
    bool m_prepared = false;
    std::shared_ptr<QPrinter> m_printer;
};
