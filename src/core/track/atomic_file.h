#pragma once
// Replacing a file so that a reader (or the next start after a crash) sees
// either the whole old contents or the whole new contents, never a mix.

#include <cstdint>
#include <string>
#include <vector>

namespace wp2 {

// Writes bytes to a fresh file beside path, flushes it to the disk and renames
// it over path. On failure the temporary file is removed, path is untouched
// and the result is false. The folder must exist.
bool replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace wp2
