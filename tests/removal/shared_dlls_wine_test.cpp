// Shared DLL counts in the real registry. The test's value names are paths in
// a directory of its own, so other programs' counts are never touched.
#include "removal/shared_dlls_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

struct Value {
  std::string name;
  DWORD type;
  std::string data;
};

// Every value of SharedDLLs, or none when the key is missing.
std::vector<Value> SharedDllValues(bool* keyExists = nullptr) {
  std::vector<Value> values;
  HKEY key = nullptr;
  const bool exists =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (keyExists) *keyExists = exists;
  if (!exists) return values;
  for (DWORD index = 0;; ++index) {
    char name[1024];
    BYTE data[1024];
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) {
      break;
    }
    values.push_back({std::string(name, nameSize), type,
                      std::string(reinterpret_cast<char*>(data), dataSize)});
  }
  RegCloseKey(key);
  return values;
}

class SharedDllCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = SharedDllValues(&keyExisted_);
    std::random_device random;
    directory_ = "C:\\SharedDllTest" + std::to_string(random()) + "\\";
  }
  // The test touches only its own values; a key that was pruned with them, or
  // made for them, is put back as it was.
  void TearDown() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      for (const Value& value : SharedDllValues()) {
        if (value.name.rfind(directory_, 0) == 0) RegDeleteValueA(key, value.name.c_str());
      }
      RegCloseKey(key);
    }
    if (keyExisted_) {
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr);
      RegCloseKey(key);
    } else {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSharedDlls);
    }
  }

  std::string File(const char* name) const { return directory_ + name; }

  void Set(const std::string& name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  void SetCount(const std::string& name, DWORD count) const { Set(name, REG_DWORD, &count, 4); }

  // The stored value: its type and data, or nothing.
  std::pair<DWORD, std::string> Stored(const std::string& name) const {
    for (const Value& value : SharedDllValues()) {
      if (value.name == name) return {value.type, value.data};
    }
    return {REG_NONE, "<missing>"};
  }
  static std::string Dword(DWORD count) { return std::string(reinterpret_cast<char*>(&count), 4); }

  std::vector<Value> saved_;  // other programs' counts
  bool keyExisted_ = false;
  std::string directory_;
};

TEST_F(SharedDllCountTest, CountIsLoweredAndRemovedWhenItRunsOut) {
  SetCount(File("three.dll"), 3);
  SetCount(File("one.dll"), 1);
  EXPECT_EQ(AdjustSharedDllCount(File("three.dll"), -1), 2);
  EXPECT_EQ(Stored(File("three.dll")), std::make_pair(DWORD{REG_DWORD}, Dword(2)));
  EXPECT_EQ(AdjustSharedDllCount(File("one.dll"), -1), 0);
  EXPECT_EQ(Stored(File("one.dll")).second, "<missing>");  // no value of 0 is left behind
  // The same file listed twice is counted down twice; the path's case does not matter.
  EXPECT_EQ(AdjustSharedDllCount(File("THREE.DLL"), -1), 1);
  EXPECT_EQ(AdjustSharedDllCount(File("three.dll"), -1), 0);
  EXPECT_EQ(Stored(File("three.dll")).second, "<missing>");
}

TEST_F(SharedDllCountTest, SharedDllsKeyGoesWithItsLastValue) {
  SetCount(File("last.dll"), 1);
  EXPECT_EQ(AdjustSharedDllCount(File("last.dll"), -1), 0);
  bool keyExists = true;
  SharedDllValues(&keyExists);
  // Another program's counts keep the key.
  EXPECT_EQ(keyExists, keyExisted_ && !saved_.empty());
  HKEY currentVersion = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                          KEY_READ, &currentVersion),
            ERROR_SUCCESS);
  RegCloseKey(currentVersion);
}

TEST_F(SharedDllCountTest, CountsThatCannotBeLoweredStayAsTheyAre) {
  SetCount(File("zero.dll"), 0);
  Set(File("text.dll"), REG_SZ, "3", 2);
  SetCount(File("all-bits.dll"), 0xFFFFFFFF);
  for (const char* name : {"zero.dll", "text.dll", "all-bits.dll", "missing.dll"}) {
    const auto before = Stored(File(name));
    EXPECT_EQ(AdjustSharedDllCount(File(name), -1), 0) << name;
    EXPECT_EQ(Stored(File(name)), before) << name;
  }
  // A short (8.3) spelling names another value.
  SetCount(File("LongLibraryName.dll"), 2);
  EXPECT_EQ(AdjustSharedDllCount(File("LONGLI~1.DLL"), -1), 0);
  EXPECT_EQ(Stored(File("LongLibraryName.dll")).second, Dword(2));
}

TEST_F(SharedDllCountTest, PositiveChangeCreatesAMissingCount) {
  EXPECT_EQ(AdjustSharedDllCount(File("new.dll"), 2), 2);
  EXPECT_EQ(Stored(File("new.dll")), std::make_pair(DWORD{REG_DWORD}, Dword(2)));
  EXPECT_EQ(AdjustSharedDllCount(File("new.dll"), 1), 3);
  EXPECT_EQ(AdjustSharedDllCount(File("other.dll"), 0), 0);
  EXPECT_EQ(Stored(File("other.dll")).second, "<missing>");
}

}  // namespace
