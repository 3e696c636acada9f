#include "platform/FileRead.h"

namespace pelmora {

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

}  // namespace pelmora
