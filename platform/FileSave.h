#pragma once
// Saving a file whole: the bytes go to a temporary file in the same folder, which replaces the chosen
// name only once it is complete, so a failure never leaves a half-written file under that name.
#include <string>

namespace pelmora {

// Writes `bytes` to `path` (UTF-8). False, with the system's reason in `error`, when that fails: then
// nothing was made under path, and a file already there is left as it was.
bool SaveFileWhole(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace pelmora
