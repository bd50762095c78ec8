// RegistryAccess against the real registry, on both families. Each test works
// under a key of its own below HKCU\Software\UninstallTests, which holds a
// sentinel value so that pruning never climbs above it, and which is removed
// afterwards.
#include "registry/registry_access.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/registry_calls.h"

namespace {

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\UninstallTests\\" + std::to_string(std::random_device()());
    Set("", "sentinel", REG_SZ, "1");
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\UninstallTests");  // only when empty
  }

  // Registry path of `relative` below the test's key.
  std::string Path(const std::string& relative) const {
    return "HKEY_CURRENT_USER\\" + base_ + "\\" + relative;
  }
  std::string Key(const std::string& relative) const {
    return relative.empty() ? base_ : base_ + "\\" + relative;
  }

  void Set(const std::string& key, const char* name, DWORD type, const std::string& data) const {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + (type == REG_SZ ? 1 : 0)));
    RegCloseKey(handle);
  }
  bool KeyExists(const std::string& relative) const {
    HKEY handle = nullptr;
    const bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, Key(relative).c_str(), 0, KEY_READ,
                                      &handle) == ERROR_SUCCESS;
    if (exists) RegCloseKey(handle);
    return exists;
  }

  std::string base_;
  RegistryAccess registry_;
};

TEST_F(RegistryAccessTest, MultiStringWriteCreatesKeysAndReadsRefuseWhatDoesNotFit) {
  const char data[] = "one\0two\0";  // with the array's own zero: the double terminator
  ASSERT_EQ(registry_.WriteRegistryMultiString(Path("New\\Deep\\List"), data, sizeof data),
            ERROR_SUCCESS);
  EXPECT_EQ(registry_.RegistryValueSize(Path("New\\Deep\\List")), sizeof data);
  char read[16] = {};
  EXPECT_EQ(registry_.ReadRegistryValue(Path("New\\Deep\\List"), read, sizeof read), sizeof data);
  EXPECT_EQ(std::string(read, sizeof data), std::string(data, sizeof data));
  EXPECT_EQ(registry_.ReadRegistryValue(Path("New\\Deep\\List"), read, 4), 0u);
  EXPECT_EQ(registry_.ReadRegistryValue(Path("Missing\\List"), read, sizeof read), 0u);
  EXPECT_FALSE(registry_.RegistryValueExists(Path("New\\Deep\\Other")));

  // "(default)", in any case, is the unnamed value.
  Set("Key", nullptr, REG_SZ, "unnamed");
  EXPECT_EQ(registry_.ReadRegistryValue(Path("Key\\(DEFAULT)"), read, sizeof read), 8u);
  EXPECT_STREQ(read, "unnamed");
}

TEST_F(RegistryAccessTest, DeletionPrunesEmptiedKeysUpToTheFirstNonEmptyOne) {
  Set("Vendor\\Product\\Settings", "Window", REG_SZ, "1");
  Set("Vendor", "keep", REG_SZ, "1");
  ASSERT_EQ(registry_.DeleteRegistryValueAt(Path("Vendor\\Product\\Settings\\Window")),
            ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists("Vendor\\Product"));
  EXPECT_TRUE(KeyExists("Vendor"));

  // A key that keeps only its unnamed value is not empty.
  Set("A\\B", nullptr, REG_SZ, "unnamed");
  Set("A\\B\\C", "v", REG_SZ, "1");
  ASSERT_EQ(registry_.DeleteRegistryValueAt(Path("A\\B\\C\\v")), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists("A\\B\\C"));
  EXPECT_TRUE(KeyExists("A\\B"));

  // A value name longer than a path (a shared file's count) is deleted whole,
  // and pruning climbs to the test's key, whose sentinel keeps it.
  const std::string longName = "C:\\Program Files\\" + std::string(200, 'n') + "\\shared.dll";
  Set("Shared\\DLLs", longName.c_str(), REG_SZ, "1");
  ASSERT_EQ(registry_.DeleteRegistryValue(HKEY_CURRENT_USER, Key("Shared\\DLLs"), longName),
            ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists("Shared"));
  EXPECT_TRUE(KeyExists(""));

  // Nothing deleted, nothing pruned: the system says what was missing.
  Set("Empty", "v", REG_SZ, "1");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, Key("Empty").c_str(), "v");
  EXPECT_EQ(registry_.DeleteRegistryValueAt(Path("Empty\\missing")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry_.DeleteRegistryValueAt(Path("Missing\\v")), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(KeyExists("Empty"));
}

TEST_F(RegistryAccessTest, KeyDirectlyBelowTheRootIsNeverPruned) {
  const std::string top = "UninstallTestsTop" + base_.substr(base_.rfind('\\') + 1);
  RegSetKeyValueA(HKEY_CURRENT_USER, top.c_str(), "Setting", REG_SZ, "x", 2);
  EXPECT_EQ(registry_.DeleteRegistryValueAt("HKEY_CURRENT_USER\\" + top + "\\Setting"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, top.c_str()), ERROR_SUCCESS);  // it was still there
}

TEST_F(RegistryAccessTest, PathsThatNameNoKeyDoNothing) {
  const char data[] = "x\0";
  for (const std::string& path :
       {std::string("HKEY_CURRENT_USER\\UninstallTestsLoneValue"), std::string("HKLM\\") + base_ + "\\v",
        std::string("hkey_current_user\\") + base_ + "\\v", std::string("HKEY_CURRENT_USER")}) {
    EXPECT_EQ(registry_.WriteRegistryMultiString(path, data, sizeof data), kRegistryPathRejected)
        << path;
    EXPECT_EQ(registry_.DeleteRegistryValueAt(path), kRegistryPathRejected) << path;
    EXPECT_EQ(registry_.DeleteRegistryKey(path), kRegistryPathRejected) << path;
  }
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, nullptr, "UninstallTestsLoneValue", RRF_RT_ANY,
                         nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryAccessTest, KeyDeletionTakesTheSubtreeButNeverAKeyWithoutAName) {
  Set("Parent\\Product\\Sub\\Deeper", "v", REG_SZ, "1");
  Set("Parent\\Product", "UninstallString", REG_SZ, "x");
  Set("Parent\\Leaf", nullptr, REG_SZ, "only");
  // "...\Uninstall\" must never take every product's registration.
  EXPECT_EQ(registry_.DeleteRegistryKey(Path("Parent\\")), kRegistryPathRejected);
  EXPECT_TRUE(KeyExists("Parent\\Product\\Sub"));
  // The NT family needs its own call to take a subtree; the 9x family's
  // RegDeleteKeyA does so by itself.
  ASSERT_EQ(registry_.DeleteRegistryKey(Path("Parent\\Product")), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists("Parent\\Product"));
  EXPECT_TRUE(KeyExists("Parent"));  // still holds Leaf
  ASSERT_EQ(registry_.DeleteRegistryKey(Path("Parent\\Leaf")), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists("Parent"));
  EXPECT_TRUE(KeyExists(""));
}

}  // namespace
