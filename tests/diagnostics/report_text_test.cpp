#include "diagnostics/report_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ReportRequest Request(ReportKind kind, ErrorCode code) {
  ReportRequest request;
  request.kind = kind;
  request.file = "src\\removal\\worker.cpp";
  request.line = 120;
  request.exitCode = kErrorExitCode;
  request.code = code;
  return request;
}

std::string Message(const ReportRequest& request, const char* systemText = nullptr) {
  char out[kLastErrorMessageCapacity];
  const std::size_t length =
      FormReportMessage(request, systemText, out, MessageCapacity(request.kind));
  return std::string(out, length);
}

std::string Box(std::string_view message) {
  char out[kReportTextCapacity];
  return std::string(out, FormErrorBoxText(message, out, sizeof out));
}

constexpr ErrorCode kNoWindow = 1;  // "2INIT: Can't create application window. \n%s"

TEST(ReportMessage, ReportErrorLeavesThePlaceholdersAsTheyStand) {
  EXPECT_EQ(Message(Request(ReportKind::kError, kNoWindow)),
            "2INIT: Can't create application window. \n%s");
}

TEST(ReportMessage, ArgumentsAndTheSystemTextFillTheEntryInOrder) {
  ReportRequest one = Request(ReportKind::kErrorText, kNoWindow);
  one.arguments[0] = TextArgument("no desktop");
  one.argumentCount = 1;
  EXPECT_EQ(Message(one), "2INIT: Can't create application window. \nno desktop");

  ReportRequest system = Request(ReportKind::kSystemError, kNoWindow);
  system.systemErrorCode = 5;
  EXPECT_EQ(Message(system, "Access denied."),
            "2INIT: Can't create application window. \nAccess denied.");

  // 63: "3ULOG: Line %u of the installation log is longer than %u characters..."
  ReportRequest last = Request(ReportKind::kLastError, 63);
  last.arguments[0] = 7;
  last.arguments[1] = 259;
  last.argumentCount = 2;
  EXPECT_EQ(Message(last, "ignored: the entry has no third placeholder"),
            "3ULOG: Line 7 of the installation log is longer than 259 characters and was skipped.");
}

TEST(ReportMessage, ACodeOutsideTheTableIsReportedAsSuch) {
  const std::string message = Message(Request(ReportKind::kError, 5000));
  EXPECT_NE(message.find("5000"), std::string::npos) << message;
  EXPECT_EQ(message.find('%'), std::string::npos) << message;
}

TEST(ReportMessage, IsCutToItsKindsRoom) {
  const std::string longText(3000, 'x');
  ReportRequest request = Request(ReportKind::kErrorText, kNoWindow);
  request.arguments[0] = TextArgument(longText.c_str());
  request.argumentCount = 1;
  EXPECT_EQ(Message(request).size(), kMessageCapacity - 1);
  request.kind = ReportKind::kLastError;
  EXPECT_EQ(Message(request).size(), kLastErrorMessageCapacity - 1);
}

TEST(ReportLogText, NamesTheMessageAndTheReportingSite) {
  char out[kReportTextCapacity];
  const ReportRequest request = Request(ReportKind::kErrorText, kNoWindow);
  std::size_t length = FormReportLogText(request, "3COM: 100% broken", out, sizeof out);
  EXPECT_EQ(std::string(out, length),
            "COM: 100% broken\nFile: src\\removal\\worker.cpp; Line: 120\n\nStack trace:\n");
  length = FormReportLogText(Request(ReportKind::kExitProgram, 0), "3", out, sizeof out);
  EXPECT_EQ(std::string(out, length),
            "error\nFile: src\\removal\\worker.cpp; Line: 120\n\nStack trace:\n");
}

TEST(ErrorBoxText, TheSeverityDigitChoosesTheWording) {
  EXPECT_EQ(Box("1X: broken"),
            "You have made nonstandard operation,\nwhich caused serious program error.\n"
            "Nevertheless, the application is alright and usable.\n\nError:\nX: broken");
  EXPECT_EQ(Box("2X: low"),
            "Application has detected the system does not satisfy it's requirements.\n"
            "Possible cause is low system or disk drive memory.\n"
            "Please, free some by closing other applications or \nby restarting the system.\n\n"
            "Error:\nX: low");
  EXPECT_EQ(Box("3X: plain %s"), "X: plain %s");
  EXPECT_EQ(Box("4X: missing"),
            "Application is poorly installed.\nPlease reinstall it.\n\nError:\nX: missing");
  EXPECT_EQ(Box("3"), "");
  EXPECT_EQ(Box("9X: odd"), "X: odd");
}

}  // namespace
