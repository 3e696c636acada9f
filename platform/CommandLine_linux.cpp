#include "platform/CommandLine.h"

#include <unistd.h>

namespace pelmora {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    if (argc < 1 || argv == nullptr) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareStandardOutput() {}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace pelmora
