#include "platform/FileRead.h"

#include "platform/WideText_win32.h"

namespace pelmora {

// The C library's narrow fopen reads the path in the ANSI code page; the wide one takes any name.
std::FILE* OpenForReading(const std::string& path) { return _wfopen(WideFromUtf8(path).c_str(), L"rb"); }

}  // namespace pelmora
