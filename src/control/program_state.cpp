#include "control/program_state.h"

ProgramState gProgram;
