#pragma once
// Path placeholders: a percent sign and one letter standing for a well-known
// directory or a value of the installation (%I\uninstall.log, %W\WININIT.INI).
// Expansion also collapses every run of backslashes into one, so paths glued
// together with an extra backslash come out clean; the two backslashes that
// begin a network path stay.

#include <cstddef>
#include <string_view>

#include "common/bounded_string.h"
#include "common/function_ref.h"
#include "common/limits.h"

// An expansion holds at most 259 characters; a longer one is rejected whole,
// never cut into another, shorter path.
inline constexpr std::size_t kExpandedPathCapacity = kPathCapacity;
using ExpandedPath = BoundedString<kExpandedPathCapacity>;

// What the placeholders stand for. The installation's values are given; the
// others are asked for only when their placeholder appears.
struct PlaceholderSources {
  std::string_view installDir;  // %F and %I (with its trailing backslash); %K is its drive letter
  std::string_view productKey;  // %D
  // %L, %P, %S or %W (the letter upper-cased): its text into `value`; false
  // when there is none that fits.
  FunctionRef<bool(char letter, ExpandedPath& value)> fetch;
  // %A stands for an application path this program never records: the user is
  // told that the application is not installed.
  FunctionRef<void()> reportMissingApplication;
};

// Expands `input` into `expanded`. Letters are folded to upper case (%i is %I);
// %% is one percent sign; %C and %U, and a percent sign followed by any other
// character, stand for nothing; a percent sign at the very end is dropped.
// False, with `expanded` empty, when the result would not fit or when the path
// is built on %A, since without its application it would name another place.
bool ExpandPlaceholders(std::string_view input, const PlaceholderSources& sources,
                        ExpandedPath& expanded);
