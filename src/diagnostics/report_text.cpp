#include "diagnostics/report_text.h"

#include <array>

namespace {

constexpr std::string_view kSeverityInternalFault =
    "You have made nonstandard operation,\nwhich caused serious program error.\n"
    "Nevertheless, the application is alright and usable.\n\nError:\n%s";
constexpr std::string_view kSeveritySystemShortage =
    "Application has detected the system does not satisfy it's requirements.\n"
    "Possible cause is low system or disk drive memory.\n"
    "Please, free some by closing other applications or \nby restarting the system.\n\nError:\n%s";
constexpr std::string_view kSeverityPlain = "%s";
constexpr std::string_view kSeverityBadInstallation =
    "Application is poorly installed.\nPlease reinstall it.\n\nError:\n%s";

std::string_view SeverityTemplate(char severity) {
  switch (severity) {
    case '1':
      return kSeverityInternalFault;
    case '2':
      return kSeveritySystemShortage;
    case '4':
      return kSeverityBadInstallation;
    default:
      return kSeverityPlain;
  }
}

std::string_view WithoutSeverity(std::string_view message) {
  return message.empty() ? message : message.substr(1);
}

}  // namespace

bool IsReportKind(std::uint32_t value) {
  switch (static_cast<ReportKind>(value)) {
    case ReportKind::kExitProgram:
    case ReportKind::kError:
    case ReportKind::kErrorText:
    case ReportKind::kErrorTexts:
    case ReportKind::kErrorNumber:
    case ReportKind::kErrorTextNumber:
    case ReportKind::kErrorNumbers:
    case ReportKind::kSystemError:
    case ReportKind::kLastError:
    case ReportKind::kSystemErrorArgument:
      return true;
    default:
      return false;
  }
}

bool UsesSystemText(ReportKind kind) {
  return kind == ReportKind::kSystemError || kind == ReportKind::kLastError ||
         kind == ReportKind::kSystemErrorArgument;
}

std::size_t MessageCapacity(ReportKind kind) {
  return kind == ReportKind::kLastError ? kLastErrorMessageCapacity : kMessageCapacity;
}

std::size_t FormReportMessage(const ReportRequest& request, const char* systemText, char* out,
                              std::size_t capacity) {
  ErrorEntryText entry;
  if (!ErrorEntry(request.code, entry)) {
    ErrorEntry(kUnknownErrorCode, entry);
    const FormatArgument code[] = {request.code};
    return FormatMessageText(out, capacity, entry.view(), code);
  }
  if (request.kind == ReportKind::kError || request.kind == ReportKind::kExitProgram) {
    return FormatMessageText(out, capacity, "%s", std::array{TextArgument(entry.c_str())});
  }
  std::array<FormatArgument, 3> arguments{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < request.argumentCount && i < 2; ++i) {
    arguments[count++] = request.arguments[i];
  }
  if (UsesSystemText(request.kind)) arguments[count++] = TextArgument(systemText);
  return FormatMessageText(out, capacity, entry.view(), std::span(arguments.data(), count));
}

std::size_t FormReportLogText(const ReportRequest& request, std::string_view message, char* out,
                              std::size_t capacity) {
  // The message may hold any character, '%' included: it is an argument here.
  char text[kLastErrorMessageCapacity];
  const std::string_view shown = request.kind == ReportKind::kExitProgram
                                     ? std::string_view("error")
                                     : WithoutSeverity(message);
  const std::size_t length = shown.copy(text, sizeof text - 1);
  text[length] = '\0';
  const FormatArgument arguments[] = {TextArgument(text), TextArgument(request.file), request.line};
  return FormatMessageText(out, capacity, "%s\nFile: %s; Line: %u\n\nStack trace:\n", arguments);
}

std::size_t FormErrorBoxText(std::string_view message, char* out, std::size_t capacity) {
  char text[kLastErrorMessageCapacity];
  const std::string_view shown = WithoutSeverity(message);
  const std::size_t length = shown.copy(text, sizeof text - 1);
  text[length] = '\0';
  const std::string_view wording = SeverityTemplate(message.empty() ? '\0' : message[0]);
  return FormatMessageText(out, capacity, wording, std::array{TextArgument(text)});
}
