#pragma once
// The words for log records and for what becomes of them: log_plan's plan and
// the report of a run say the same thing the same way, one line per record:
// "line 7: file C:\Tool\a.txt: <what happens or happened>".

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/limits.h"
#include "removal/uninstall_log.h"

// Room for a line about a record: an INI record's line and value, the words,
// and a system error text.
inline constexpr std::size_t kRecordLineTextCapacity = 3 * kLongCapacity;
using RecordLineText = BoundedString<kRecordLineTextCapacity>;

// "file", "font", "COM server", "INI entry", "registry value", "program".
std::string_view RecordKindName(RecordKind kind);

// Starts the line about the record that begins at the log's physical line
// `line`: "line 7: file C:\Tool\a.txt: ", or "line 7: " for a record whose line
// was cut or holds a zero byte (its text is not what the log says) and for an
// empty line. An INI record reads "INI entry device=*vpd in [386Enh] of system.ini".
RecordLineText StartRecordLine(int line, const LogRecord& record);

// "skipped: <why>" for a record that is not carried out.
void AppendSkipped(RecordLineText& text, SkipReason reason);

// The physical line where the record after `record` starts, when `record`
// started at `line`. The body starts at kFirstRecordLine, after the header.
inline constexpr int kFirstRecordLine = 4;
int NextRecordLine(int line, const LogRecord& record);
