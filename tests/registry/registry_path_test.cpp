#include "registry/registry_path.h"

#include <gtest/gtest.h>

#include <string>

// "root|key path|last component" (3: HKEY_CURRENT_USER). A rejected path
// (root 0) leaves both buffers as they were ("-").
TEST(RegistryPath, SplitsAtTheLastBackslashOrIsRejectedWhole) {
  const std::string key(1023, 'k'), name(259, 'n'), user = "HKEY_CURRENT_USER\\";
  const std::pair<std::string, std::string> cases[] = {
      {user + "Alpha\\Beta\\Gamma", "3|Alpha\\Beta|Gamma"},
      {user + key + "\\" + name, "3|" + key + "|" + name},
      {user + key + "k\\v", "0|-|-"},
      {user + "k\\" + name + "n", "0|-|-"},
      {user + "\\k\\v", "0|-|-"},
  };
  for (const auto& [path, expected] : cases) {
    RegistryKeyPath keyPath;
    RegistryName last;
    keyPath.Assign("-");
    last.Assign("-");
    const int root = static_cast<int>(SplitRegistryPath(path, keyPath, last));
    EXPECT_EQ(std::to_string(root) + "|" + keyPath.c_str() + "|" + last.c_str(), expected) << path;
  }
}
