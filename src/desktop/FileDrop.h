#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/HostInterface.h"

namespace korimbo {

// The shell's file operations (the values of FO_MOVE .. FO_RENAME).
enum class ShellOperationKind : uint32_t { Move = 1, Copy = 2, Delete = 3, Rename = 4 };

// Collects the names of one drop and moves (or, with Control, copies) them to
// the desktop in one shell operation when the last name arrives. The host
// gives the names narrow; they reach the shell widened without loss. A call
// with index 0 starts a new drop.
bool HandleDropFile(DockletId id, int32_t index, int32_t count, const char* path);

// Runs one shell operation on `names` with target `destination`, leaving
// progress, confirmation and undo to the shell. True when the shell reports
// success. Without a destination (other than for a delete) nothing is asked
// of the shell and the answer is false.
bool ShellFileOperation(const std::vector<std::string>& names, const std::wstring& destination,
                        ShellOperationKind kind);

// The names of the drop in progress; empty between drops.
std::vector<std::string>& PendingDrops();

}  // namespace korimbo
