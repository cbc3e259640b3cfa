#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// Answering the modal dialogs a test opens with exec().
namespace ModalDialogs {

// Runs `answer` on the next modal window once it is open.
void whenOpens(std::function<void(QWidget *)> answer);
// Runs `answer` on the next modal dialog once it is open, when it is a `Dialog`; any other
// window is closed.
template <typename Dialog>
void whenOpens(std::function<void(Dialog *)> answer)
{
    whenOpens(std::function<void(QWidget *)>([answer](QWidget *modal) {
        if (auto *dialog = qobject_cast<Dialog *>(modal))
            answer(dialog);
        else
            modal->close();
    }));
}
// Answers the next file dialog: types the path into its name box and presses Enter.
void saveAs(const QString &path);

} // namespace ModalDialogs
