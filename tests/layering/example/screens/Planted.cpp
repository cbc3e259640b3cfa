// A screen with one handler connected raw (line 9); the guarded ones, qualified or not, connect(
// in this comment and the text in quotes are no raw connects.
#include "high/High.h"

void Screen::wire()
{
    connectGuarded(BtOk, &QPushButton::clicked, this, [this] { BtOkClick(); });
    setToolTip("connect(later)");
    connect(BtCancel, &QPushButton::clicked, this, [this] { BtCancelClick(); });
    platform::connectGuarded(BtHelp, &QPushButton::clicked, this, [this] { BtHelpClick(); });
}
