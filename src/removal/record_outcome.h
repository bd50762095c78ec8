#pragma once
// What carrying out one record of the uninstall log did, as the removal
// worker tells it: the operations' own results, enough to give an account of
// the run record by record.

#include <cstdint>

#include "removal/uninstall_log.h"

enum class RecordResult {
  kDone,           // removed, unregistered and deleted, or the program ran
  kAlreadyGone,    // there was nothing to remove (error: how the system said so)
  kOnRestartList,  // could not go now (error: why not); the system deletes it at its start
  kKeptShared,     // a shared system file that other programs still count on
  kKeptByAnswer,   // a shared system file the user chose to keep
  kSkipped,        // not carried out (skipReason)
  kFailed,         // the system refused (error)
};

struct RecordOutcome {
  RecordResult result = RecordResult::kDone;
  SkipReason skipReason = SkipReason::kNone;
  std::uint32_t error = 0;  // the system's error code; 0 where it gave none
  // Something of the record waits for the system's next start: a file on the
  // restart list that is still there, an INI file rewritten on the 9x family.
  bool restartAdvised = false;
};
