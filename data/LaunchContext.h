#pragma once

#include <QString>

// The per-run record filled at start-up and read everywhere: who runs the program, for which
// menu entry and company, and in which language. Held by the configuration data module.
struct LaunchContext {
    int MenuId = 0;
    int UserId = 0;
    QString MenuCaption;
    QString UserCode;
    bool AccessRight = false;
    bool ThaiLanguage = false;
    QString CompanyDatabase;
    QString CompanyNameThai;
};

// The program's one launch context.
LaunchContext &launchContext();
