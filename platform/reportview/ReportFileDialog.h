#pragma once

#include "platform/report/ReportLanguage.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// Asks for the name of a file to write, with the dialog's captions in the user's language.
namespace ReportFileDialog {

// `extensions` are the file types offered ("xlsx", "pdf", ...), the first chosen at the start.
// Returns the path with the chosen type's extension added when the name has none of the
// offered ones, or an empty string when the user cancels or will not replace an existing file.
QString saveFileName(QWidget *parent, ReportLanguage language, const QString &title, const QString &suggestedName,
                     const QStringList &extensions);

} // namespace ReportFileDialog

} // namespace platform
