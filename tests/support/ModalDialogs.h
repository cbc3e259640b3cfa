#pragma once

#include <QString>
#include <functional>

class QWidget;

// Answering the modal dialogs a test opens with exec().
namespace ModalDialogs {

// Runs `answer` on the next modal window once it is open.
void whenOpens(std::function<void(QWidget *)> answer);
// Answers a file dialog: types the path into its name box and presses Enter.
void saveAs(QWidget *fileDialog, const QString &path);

} // namespace ModalDialogs
