#pragma once

// The hooks through which the data modules and the data layer reach the screen, set as the
// program runs with them (the entry routine, and tests that run screens the program's way):
//  - the configuration data module's plain messages go to the dialog service;
//  - the company data module's error dialog is TFrShowError (in unattended runs, the dialog log);
//  - every exception no code handled goes to the company data module's handler;
//  - while a statement waits for another connection's lock, the wait cursor shows;
//  - workbooks written by the program name the user and the company as their author;
//  - while a statement waits for the server, the wait cursor and a note show (ServerWaitNote).
// Needs DMConfig and DM to exist.
namespace ProgramWiring {
void wire();
// The program's end, once its screen has gone: every hook set back to nothing, then both data
// modules freed, closing their connections cleanly (each embedded database file is then
// complete on its own, without its write-ahead log).
void end();

// Shows the wait cursor until control is back in the event loop (a modal dialog's included).
void showWaitCursorUntilIdle();
} // namespace ProgramWiring
