#pragma once
#include "control/command_line.h"

// Reads the process's command line, module file name and current directory.
void ReadProcessCommandLine(CommandLineValues& values);
