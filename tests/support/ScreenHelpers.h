#pragma once

#include "support/Drive.h"

#include <QString>

class DemoDatabases;
class TFrTarvoAdjAndConsignment;

// Moves and texts shared by the tests that drive the consignment screen.

// The message a successful save shows.
inline const QString Saved = QStringLiteral("บันทึกเรียบร้อย");

// A new consignment screen for the user as the program makes it (on DM's company connection,
// with a store on it), not yet shown, without a barcode search.
TFrTarvoAdjAndConsignment *newConsignmentScreen(int userId);

// A new screen of the fixture (ScreenFixture, FaultFixture) with branch 1 (BR01, customer 1)
// current: Enter takes the branch the screen proposes.
template <class Fixture>
TFrTarvoAdjAndConsignment *openOnBranch1(Fixture &f)
{
    TFrTarvoAdjAndConsignment *s = f.openScreen();
    Drive::enter();
    return s;
}

// The price the screen's barcode look-up takes for a barcode (its last row).
double listPrice(DemoDatabases &dbs, const QString &barcode);
