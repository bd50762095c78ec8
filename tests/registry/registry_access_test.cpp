// RegistryAccess on both families where no uninstallation reaches: data that
// does not fit its buffer, a key's subtree (the 9x family's RegDeleteKeyA
// takes it by itself, the NT family needs another call), and a key without a
// name, which is never taken. Everything lives below a key of the test's own,
// whose sentinel value keeps it.
#include "registry/registry_access.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/win32_handles.h"
#include "support/registry_calls.h"

namespace {

bool KeyExists(const std::string& key) {
  UniqueHKey handle;
  return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.Receive()) ==
         ERROR_SUCCESS;
}

TEST(RegistryAccess, OversizedDataAndSubtrees) {
  const std::string base = "Software\\UninstallTests\\" + std::to_string(std::random_device()());
  const std::string path = "HKEY_CURRENT_USER\\" + base + "\\";
  for (const char* key : {"", "\\Parent\\Product\\Sub\\Deeper", "\\Parent\\Leaf"})
    RegSetKeyValueA(HKEY_CURRENT_USER, (base + key).c_str(), "v", REG_SZ, "one", 4);
  char read[4] = {};
  EXPECT_EQ(RegistryAccess::ReadRegistryValue(path + "v", read, sizeof read), 4u);
  EXPECT_EQ(RegistryAccess::ReadRegistryValue(path + "v", read, 3), 0u);

  // "...\Uninstall\" must never take every product's registration.
  EXPECT_EQ(RegistryAccess::DeleteRegistryKey(path + "Parent\\"), kRegistryPathRejected);
  EXPECT_TRUE(KeyExists(base + "\\Parent\\Product\\Sub"));
  ASSERT_EQ(RegistryAccess::DeleteRegistryKey(path + "Parent\\Product"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(base + "\\Parent\\Product"));
  ASSERT_EQ(RegistryAccess::DeleteRegistryKey(path + "Parent\\Leaf"), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(base + "\\Parent"));
  EXPECT_TRUE(KeyExists(base));  // its sentinel keeps it
  RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

}  // namespace
