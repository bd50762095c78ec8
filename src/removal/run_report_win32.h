#pragma once
#include "removal/run_report.h"

// The system's text for an error code, on one line, for the report.
void SystemErrorText(std::uint32_t error, ErrorText& text);
