// RegistryAccess against the real registry. Each test works under a key of its
// own below HKCU\Software\UninstallTests, which holds a sentinel value so that
// pruning never climbs above it, and which is removed afterwards.
#include "registry/registry_access.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    base_ = "Software\\UninstallTests\\" + std::to_string(random());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExA(key, "sentinel", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegCloseKey(key);
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\UninstallTests");  // only when empty
  }

  // Registry path of `relative` below the test's key.
  std::string Path(const std::string& relative) const {
    return "HKEY_CURRENT_USER\\" + base_ + "\\" + relative;
  }
  std::string Key(const std::string& relative) const { return base_ + "\\" + relative; }

  void SetString(const std::string& key, const char* name, const std::string& data) const {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
  }
  void SetBinary(const std::string& key, const char* name, const void* data, DWORD size) const {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, Key(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &handle, nullptr);
    RegSetValueExA(handle, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(handle);
  }
  bool KeyExists(const std::string& relative) const {
    HKEY handle = nullptr;
    const bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, Key(relative).c_str(), 0, KEY_READ,
                                      &handle) == ERROR_SUCCESS;
    if (exists) RegCloseKey(handle);
    return exists;
  }
  bool ValueExists(const std::string& relative, const char* name) const {
    return RegGetValueA(HKEY_CURRENT_USER, Key(relative).c_str(), name, RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
  }

  std::string base_;
  RegistryAccess registry_;
};

TEST_F(RegistryAccessTest, MultiStringWriteCreatesKeysAndReadsBack) {
  const char data[] = "one\0two\0";  // with the array's own zero: the double terminator
  ASSERT_EQ(registry_.WriteRegistryMultiString(Path("New\\Deep\\List"), data, sizeof data), 1);
  EXPECT_EQ(registry_.RegistryValueExists(Path("New\\Deep\\List")), 1);
  EXPECT_EQ(registry_.RegistryValueSize(Path("New\\Deep\\List")), sizeof data);
  char read[16] = {};
  EXPECT_EQ(registry_.ReadRegistryValue(Path("New\\Deep\\List"), read, sizeof read), sizeof data);
  EXPECT_EQ(std::string(read, sizeof data), std::string(data, sizeof data));
  // A buffer too small for the data, a missing value and a missing key all read 0.
  EXPECT_EQ(registry_.ReadRegistryValue(Path("New\\Deep\\List"), read, 4), 0u);
  EXPECT_EQ(registry_.ReadRegistryValue(Path("New\\Deep\\Other"), read, sizeof read), 0u);
  EXPECT_EQ(registry_.ReadRegistryValue(Path("Missing\\List"), read, sizeof read), 0u);
  EXPECT_EQ(registry_.RegistryValueExists(Path("Missing\\List")), 0);
  EXPECT_EQ(registry_.RegistryValueSize(Path("New\\Deep\\Other")), 0u);
}

TEST_F(RegistryAccessTest, DefaultNameAddressesTheUnnamedValueInAnyCase) {
  SetString("Key", nullptr, "unnamed");
  char read[16] = {};
  EXPECT_EQ(registry_.ReadRegistryValue(Path("Key\\(DEFAULT)"), read, sizeof read), 8u);
  EXPECT_STREQ(read, "unnamed");
  EXPECT_EQ(registry_.DeleteRegistryValueAt(Path("Key\\(default)")), 1);
  EXPECT_FALSE(ValueExists("Key", nullptr));
}

TEST_F(RegistryAccessTest, DwordReadsFallBackOrZeroByType) {
  HKEY root = HKEY_CURRENT_USER;
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Counts"), "missing", -1), -1);
  ASSERT_EQ(registry_.WriteRegistryDword(root, Key("Counts\\Made"), "C:\\x\\a.dll", 3), 1);
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Counts\\Made"), "C:\\x\\a.dll", -1), 3);
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Counts\\Made"), "c:\\X\\A.DLL", -1), 3);
  SetString("Counts", "text", "5");
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Counts"), "text", -1), 0);
  const unsigned char eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  SetBinary("Counts", "long", eight, sizeof eight);
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Counts"), "long", -1), -1);

  RegistryAccess based(base_);
  EXPECT_EQ(based.ReadRegistryDword(root, "Counts\\Made", "C:\\x\\a.dll", -1), 3);
  EXPECT_EQ(based.WriteRegistryDword(root, "Other", "n", 7), 1);
  EXPECT_EQ(registry_.ReadRegistryDword(root, Key("Other"), "n", -1), 7);
}

TEST_F(RegistryAccessTest, DeletingTheLastValuePrunesEmptyKeysUpToTheFirstNonEmptyOne) {
  SetString("Vendor\\Product\\Settings", "Window", "1");
  SetString("Vendor", "keep", "1");
  ASSERT_EQ(registry_.DeleteRegistryValueAt(Path("Vendor\\Product\\Settings\\Window")), 1);
  EXPECT_FALSE(KeyExists("Vendor\\Product"));
  EXPECT_TRUE(KeyExists("Vendor"));

  // A key that keeps only its unnamed value is not empty.
  SetString("A\\B", nullptr, "unnamed");
  SetString("A\\B\\C", "v", "1");
  ASSERT_EQ(registry_.DeleteRegistryValueAt(Path("A\\B\\C\\v")), 1);
  EXPECT_FALSE(KeyExists("A\\B\\C"));
  EXPECT_TRUE(KeyExists("A\\B"));

  // Pruning reaches the test's own key, which holds a sentinel: it stays.
  SetString("Lone\\Deeper", "v", "1");
  ASSERT_EQ(registry_.DeleteRegistryValueAt(Path("Lone\\Deeper\\v")), 1);
  EXPECT_FALSE(KeyExists("Lone"));
  EXPECT_TRUE(KeyExists(""));
}

TEST_F(RegistryAccessTest, MissingValueReturnsZeroAndPrunesNothing) {
  SetString("Empty", "v", "1");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, Key("Empty").c_str(), "v");
  ASSERT_TRUE(KeyExists("Empty"));
  EXPECT_EQ(registry_.DeleteRegistryValueAt(Path("Empty\\missing")), 0);
  EXPECT_TRUE(KeyExists("Empty"));
}

TEST_F(RegistryAccessTest, KeyDirectlyBelowTheRootIsNeverPruned) {
  const std::string top = "UninstallTestsTop" + base_.substr(base_.rfind('\\') + 1);
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, top.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, "Setting", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  RegCloseKey(key);
  EXPECT_EQ(registry_.DeleteRegistryValueAt("HKEY_CURRENT_USER\\" + top + "\\Setting"), 1);
  key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, top.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  if (key) RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, top.c_str());
}

TEST_F(RegistryAccessTest, LongValueNamesAreDeletedWholeAndPruningGoesOn) {
  const std::string name = "C:\\Program Files\\" + std::string(200, 'n') + "\\shared.dll";
  SetString("Shared\\DLLs", name.c_str(), "1");
  HKEY root = HKEY_CURRENT_USER;
  ASSERT_EQ(registry_.DeleteRegistryValue(root, Key("Shared\\DLLs"), name), 1);
  EXPECT_FALSE(KeyExists("Shared"));
}

TEST_F(RegistryAccessTest, PathsThatNameNoKeyDoNothing) {
  const char data[] = "x\0";
  for (const std::string& path :
       {std::string("HKEY_CURRENT_USER\\UninstallTestsLoneValue"), std::string("HKLM\\") + base_ + "\\v",
        std::string("hkey_current_user\\") + base_ + "\\v", std::string("HKEY_CURRENT_USER")}) {
    EXPECT_EQ(registry_.WriteRegistryMultiString(path, data, sizeof data), 0) << path;
    EXPECT_EQ(registry_.RegistryValueExists(path), 0) << path;
    EXPECT_EQ(registry_.DeleteRegistryValueAt(path), 0) << path;
    EXPECT_EQ(registry_.DeleteRegistryKey(path), 0) << path;
  }
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, nullptr, "UninstallTestsLoneValue", RRF_RT_ANY,
                         nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryAccessTest, KeyDeletionNeverTakesAKeyWithoutAName) {
  SetString("Uninstall\\ProductA", "UninstallString", "a");
  SetString("Uninstall\\ProductB", "UninstallString", "b");
  EXPECT_EQ(registry_.DeleteRegistryKey(Path("Uninstall\\")), 0);
  EXPECT_TRUE(KeyExists("Uninstall\\ProductA"));
  EXPECT_TRUE(KeyExists("Uninstall\\ProductB"));
}

TEST_F(RegistryAccessTest, KeyDeletionRemovesTheSubtreeAndPrunesParents) {
  SetString("Parent\\Product\\Sub\\Deeper", "v", "1");
  SetString("Parent\\Product", "UninstallString", "x");
  SetString("Parent\\Leaf", nullptr, "only");
  // SHDeleteKeyA on the NT family, RegDeleteKeyA on the 9x family: both take
  // the subtree.
  ASSERT_EQ(registry_.DeleteRegistryKey(Path("Parent\\Product")), 1);
  EXPECT_FALSE(KeyExists("Parent\\Product"));
  EXPECT_TRUE(KeyExists("Parent"));  // still holds Leaf
  // A key without subkeys goes on both families, and its emptied parents with it.
  ASSERT_EQ(registry_.DeleteRegistryKey(Path("Parent\\Leaf")), 1);
  EXPECT_FALSE(KeyExists("Parent"));
  EXPECT_TRUE(KeyExists(""));
}

TEST(RegistryAccessFamily, ShlwapiIsLoadedOnlyOnTheNtFamily) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  const bool loadedBefore = GetModuleHandleA("shlwapi.dll") != nullptr;
  RegistryAccess registry;
  std::printf("platform %lu, version %lu.%lu\n", version.dwPlatformId, version.dwMajorVersion,
              version.dwMinorVersion);
  EXPECT_EQ(registry.isNt(), version.dwPlatformId == VER_PLATFORM_WIN32_NT);
  if (!registry.isNt() && !loadedBefore) {
    EXPECT_EQ(GetModuleHandleA("shlwapi.dll"), nullptr);
  }
  if (registry.isNt()) {
    EXPECT_NE(GetModuleHandleA("shlwapi.dll"), nullptr);
  }
}

}  // namespace
