#include "diagnostics/error_table.h"

#include <string_view>

namespace {

// The modules in ascending code ranges, from code 1. Codes are written into
// logs and reports, so a code never changes its meaning: a new message takes
// a reserved code. Only start-up's first two codes and the report facility's
// own are messages; every other code is reserved.
struct ErrorModule {
  std::string_view tag;
  ErrorCode count;
};

constexpr ErrorModule kErrorModules[] = {
    {"INIT", 2},    {"MOD02", 17}, {"MOD03", 17}, {"MOD04", 17}, {"MOD05", 17}, {"MOD06", 17},
    {"MOD07", 17},  {"MOD08", 17}, {"MOD09", 17}, {"MOD10", 17}, {"MOD11", 16}, {"MOD12", 16},
    {"MOD13", 16},  {"MOD14", 16}, {"MOD15", 16}, {"MOD16", 16}, {"MOD17", 16}, {"MOD18", 16},
    {"MOD19", 16},  {"MOD20", 16}, {"MOD21", 16}, {"MOD22", 16}, {"MOD23", 16}, {"MOD24", 16},
    {"MOD25", 16},  {"MOD26", 16}, {"MOD27", 16}, {"REPORT", 16},
};

// Severity digit and text of the codes that carry a message.
struct ErrorMessage {
  ErrorCode code;
  std::string_view text;
};

constexpr ErrorMessage kErrorMessages[] = {
    {1, "2Can't create application window. \n%s"},
    {2, "2RegisterClassEx() failed.\n%s"},
    {kUnknownErrorCode, "1Error code %u is not one of this program's error codes."},
};

constexpr std::string_view kReservedText = "3Reserved code.";

constexpr ErrorCode CountCodes() {
  ErrorCode count = 1;  // code 0
  for (const ErrorModule& module : kErrorModules) count += module.count;
  return count;
}
static_assert(CountCodes() == kErrorCount);

std::string_view MessageOf(ErrorCode code) {
  for (const ErrorMessage& message : kErrorMessages) {
    if (message.code == code) return message.text;
  }
  return kReservedText;
}

}  // namespace

bool ErrorEntry(ErrorCode code, ErrorEntryText& entry) {
  entry.Clear();
  if (code == 0) return entry.Assign("3");
  ErrorCode first = 1;
  for (const ErrorModule& module : kErrorModules) {
    if (code - first < module.count) {
      const std::string_view text = MessageOf(code);
      return entry.Assign(text.substr(0, 1)) && entry.Append(module.tag) && entry.Append(": ") &&
             entry.Append(text.substr(1));
    }
    first += module.count;
  }
  return false;
}
