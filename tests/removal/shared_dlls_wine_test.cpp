// Shared DLL counts in the real registry, on both families. The test's value
// names are paths in a directory of its own, so other programs' counts are
// never touched.
#include "removal/shared_dlls_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/registry_calls.h"

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Creates the key when it is missing; true when it was there already.
bool OpenExistingKey() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  &disposition);
  RegCloseKey(key);
  return disposition == REG_OPENED_EXISTING_KEY;
}

class SharedDllCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keyExisted_ = OpenExistingKey();
    directory_ = "C:\\SharedDllTest" + std::to_string(std::random_device()()) + "\\";
  }
  // The key is left as it was: pruned with the test's last value, it comes back.
  void TearDown() override {
    for (const char* name : {"a.dll", "b.dll", "zero.dll", "text.dll", "all-bits.dll", "wide.dll",
                             "long-name.dll"}) {
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, File(name).c_str());
    }
    if (!keyExisted_) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSharedDlls);
    } else {
      OpenExistingKey();
    }
  }

  std::string File(const char* name) const { return directory_ + name; }
  void Set(const std::string& name, DWORD type, const void* data, DWORD size) const {
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSharedDlls, name.c_str(), type, data, size),
              ERROR_SUCCESS);
  }
  void SetCount(const char* name, DWORD count) const { Set(File(name), REG_DWORD, &count, 4); }
  // The stored value as "type:data", or "missing".
  std::string Stored(const char* name) const {
    BYTE data[16];
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, File(name).c_str(), RRF_RT_ANY, &type, data,
                     &size) != ERROR_SUCCESS) {
      return "missing";
    }
    return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
  }
  static std::string Dword(DWORD count) {
    return std::to_string(REG_DWORD) + ":" + std::string(reinterpret_cast<char*>(&count), 4);
  }

  bool keyExisted_ = false;
  std::string directory_;
};

TEST_F(SharedDllCountTest, CountGoesDownInAnyCaseAndNoZeroIsLeftBehind) {
  SetCount("a.dll", 2);
  EXPECT_EQ(AdjustSharedDllCount(File("A.DLL"), -1), 1);
  EXPECT_EQ(Stored("a.dll"), Dword(1));
  EXPECT_EQ(AdjustSharedDllCount(File("a.dll"), -1), 0);
  EXPECT_EQ(Stored("a.dll"), "missing");
}

TEST_F(SharedDllCountTest, CountsThatCannotBeLoweredStayAsTheyAre) {
  SetCount("zero.dll", 0);
  Set(File("text.dll"), REG_SZ, "3", 2);
  SetCount("all-bits.dll", 0xFFFFFFFF);
  Set(File("wide.dll"), REG_BINARY, "\1\0\0\0\0\0\0\0", 8);
  for (const char* name : {"zero.dll", "text.dll", "all-bits.dll", "wide.dll", "b.dll"}) {
    const std::string before = Stored(name);
    EXPECT_EQ(AdjustSharedDllCount(File(name), -1), 0) << name;
    EXPECT_EQ(Stored(name), before) << name;
  }
  // A short (8.3) spelling names another value.
  SetCount("long-name.dll", 2);
  EXPECT_EQ(AdjustSharedDllCount(File("LONG-N~1.DLL"), -1), 0);
  EXPECT_EQ(Stored("long-name.dll"), Dword(2));
}

}  // namespace
