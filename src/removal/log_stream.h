#pragma once
#include "removal/text_line_file.h"

// The one stream on the uninstall log: opened and its header read at start-up,
// counted by the wizard page, then read to its end by the removal worker.
extern TextLineFile gLogStream;
