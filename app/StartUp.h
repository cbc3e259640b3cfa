#pragma once

// The program's entry: turns the five launch parameters into the launch context, opens both
// databases behind the splash, checks the user's right and runs the chosen screen as the main
// window. Returns the process's exit code:
//   0  no parameters; access denied; a selector without a screen; the main window closed
//      normally
//   1  the program could not start: no display to show it on (said on the standard error); a
//      launch parameter that is not a number; an unknown company database (after its message);
//      any error while starting, after the error handling of every error: the error log
//      (unless the configuration database itself could not be reached), the Thai explanation
//      and the error dialog
int runProgram(int argc, char **argv);
