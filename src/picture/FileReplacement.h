// Replaces a file's contents without ever leaving a half-written file under
// its name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korimbo {

// Writes `bytes` to "<path>.tmp", flushes it and moves it over `path`
// (created when absent). Raises Failure naming the failed call; the
// temporary file is removed on failure and `path` is left as it was.
void ReplaceFileContents(const std::wstring& path, const std::vector<uint8_t>& bytes);

}  // namespace korimbo
