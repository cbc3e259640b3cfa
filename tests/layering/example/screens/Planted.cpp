// A screen with one handler connected raw (line 9); the guarded one, this comment's connect(
// and the text in quotes are no raw connects.
#include "high/High.h"

void Screen::wire()
{
    connectGuarded(BtOk, &QPushButton::clicked, this, [this] { BtOkClick(); });
    setToolTip("connect(later)");
    connect(BtCancel, &QPushButton::clicked, this, [this] { BtCancelClick(); });
}
