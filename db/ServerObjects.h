#pragma once

// Registers the embedded engine's stand-ins for the server procedures and functions:
// "MENUCAPTION" and "AddErrorLog" (configuration database), "UserAddLog", "ServerTime",
// "Save_Tarvo_Consignment" and the scalar function "Tarvo_RPFloat" (company database).
// They behave as the T-SQL objects in db/mssql do. Safe to call more than once.
void registerServerObjects();

// The rounding of Tarvo_RPFloat: half away from zero to 6 decimals.
double tarvoRPFloat(double value);
