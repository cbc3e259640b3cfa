#pragma once

#include <QString>

// Whether this workstation keeps working when the company database cannot be reached, and
// where it keeps its own files for that. QLM.INI:
//   [OFFLINE]
//   Enabled=yes        (off when missing or anything but yes, true, on or 1)
// The files lie beside QLM.INI, one pair per company database:
//   <DATABASE>.journal.sqlite  every line saved, before it is sent
//   <DATABASE>.scan.sqlite     the copy of what a clerk needs to scan
struct OfflineSettings {
    bool enabled = false;
    QString journalFile;
    QString scanCopyFile;

    static OfflineSettings read(const QString &iniPath, const QString &companyDatabase);
};
