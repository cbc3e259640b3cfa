#pragma once

#include <QString>

// Whether this workstation keeps working when the company database cannot be reached, and
// where it keeps its own files for that. QLM.INI:
//   [OFFLINE]
//   Enabled=yes        (off when missing or anything but yes, true, on or 1)
//   SaveWait=3         seconds a save waits for the server before the line is kept to be sent
//                      later (a whole number from 1 to 60; 3 when missing or out of range)
// The files lie beside QLM.INI, one pair per company database:
//   <DATABASE>.journal.sqlite  every line saved, before it is sent
//   <DATABASE>.scan.sqlite     the copy of what a clerk needs to scan
struct OfflineSettings {
    bool enabled = false;
    int saveWaitSeconds = 3;
    QString journalFile;
    QString scanCopyFile;

    static OfflineSettings read(const QString &iniPath, const QString &companyDatabase);
};
