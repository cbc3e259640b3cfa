#pragma once

#include <QString>
#include <QStringList>

// The program's positional launch parameters (position 0 is the program itself), as the
// launcher passed them. Set once at start-up; tests set their own.
void setLaunchParameters(const QStringList &arguments);
QString launchParameter(int position); // "" when the launcher gave fewer
