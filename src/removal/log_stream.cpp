#include "removal/log_stream.h"

TextLineFile gLogStream;
