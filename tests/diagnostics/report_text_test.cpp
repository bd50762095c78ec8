#include "diagnostics/report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr ErrorCode kNoWindow = 1;  // "2INIT: Can't create application window. \n%s"

ReportRequest Request(ReportKind kind, ErrorCode code,
                      std::initializer_list<FormatArgument> arguments = {}) {
  ReportRequest request;
  request.kind = kind;
  request.file = "src\\removal\\worker.cpp";
  request.line = 120;
  request.exitCode = kErrorExitCode;
  request.code = code;
  for (FormatArgument argument : arguments) request.arguments[request.argumentCount++] = argument;
  return request;
}

std::string Message(const ReportRequest& request, const char* systemText = nullptr) {
  char out[kLastErrorMessageCapacity];
  return std::string(out, FormReportMessage(request, systemText, out, MessageCapacity(request.kind)));
}

TEST(ReportMessage, ArgumentsAndTheSystemTextFillTheEntryInOrder) {
  // ReportError leaves the placeholders as they stand.
  EXPECT_EQ(Message(Request(ReportKind::kError, kNoWindow)), "2INIT: Can't create application window. \n%s");
  EXPECT_EQ(Message(Request(ReportKind::kErrorText, kNoWindow, {TextArgument("no desktop")})),
            "2INIT: Can't create application window. \nno desktop");
  EXPECT_EQ(Message(Request(ReportKind::kSystemError, kNoWindow), "Access denied."),
            "2INIT: Can't create application window. \nAccess denied.");
  // 63: "3ULOG: Line %u of the installation log is longer than %u characters..."
  EXPECT_EQ(Message(Request(ReportKind::kLastError, 63, {7, 259}), "no third placeholder"),
            "3ULOG: Line 7 of the installation log is longer than 259 characters and was skipped.");
  const std::string unknown = Message(Request(ReportKind::kError, 5000));
  EXPECT_NE(unknown.find("5000"), std::string::npos) << unknown;
  EXPECT_EQ(unknown.find('%'), std::string::npos) << unknown;
}

TEST(ReportMessage, IsCutToItsKindsRoom) {
  const std::string longText(3000, 'x');
  ReportRequest request = Request(ReportKind::kErrorText, kNoWindow, {TextArgument(longText.c_str())});
  EXPECT_EQ(Message(request).size(), kMessageCapacity - 1);
  request.kind = ReportKind::kLastError;
  EXPECT_EQ(Message(request).size(), kLastErrorMessageCapacity - 1);
}

TEST(ErrorBoxText, TheSeverityDigitChoosesTheWordingAroundTheMessage) {
  struct Case {
    char severity;
    const char* wording;  // its start; "" for the message alone
  } cases[] = {
      {'1', "You have made nonstandard operation,"},
      {'2', "Application has detected the system does not satisfy"},
      {'4', "Application is poorly installed."},
      {'3', ""},
      {'9', ""},
  };
  for (const Case& c : cases) {
    char out[kReportTextCapacity];
    const std::string box(out, FormErrorBoxText(std::string(1, c.severity) + "X: 100%s", out, sizeof out));
    const std::string wording = c.wording;
    if (wording.empty()) {
      EXPECT_EQ(box, "X: 100%s");
    } else {
      EXPECT_EQ(box.rfind(wording, 0), 0u) << box;
      EXPECT_TRUE(box.ends_with("\n\nError:\nX: 100%s")) << box;
    }
  }
}

}  // namespace
