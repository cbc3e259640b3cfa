#pragma once

// Thrown where the program must end at once with an exit code (an unknown company database);
// the entry routine catches it and returns the code.
struct ProgramEnd {
    int exitCode = 0;
};
