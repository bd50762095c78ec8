#pragma once
// What a scenario could change, listed before and after a run: every file and
// directory below some directories and every key and value below some registry
// keys, each with what it holds, so that comparing two listings names exactly
// what went, what came and what changed.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

// Item name -> what it holds (size and attributes of a file, type and data of
// a value). Names: "file <path>", "dir <path>", "key <root>\<key>", "value <root>\<key>\<name>".
using Listing = std::map<std::string, std::string>;

std::string FileItem(const fs::path& path);
std::string DirItem(const fs::path& path);
std::string KeyItem(HKEY root, const std::string& key);
std::string ValueItem(HKEY root, const std::string& key, const std::string& name);

struct ListedPlaces {
  std::vector<fs::path> directories;                // listed with themselves
  std::vector<std::pair<HKEY, std::string>> keys;   // listed with themselves, if they exist
};

Listing TakeListing(const ListedPlaces& places);

// Success when from `before` to `after` exactly the items `gone` went, exactly
// the items `appeared` came and nothing else changed; else every difference.
::testing::AssertionResult ChangedExactly(const Listing& before, const Listing& after,
                                          const std::set<std::string>& gone,
                                          const std::set<std::string>& appeared = {});
