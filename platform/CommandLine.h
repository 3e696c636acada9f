#pragma once
// A console program's own ends: its arguments and its standard output.
#include <string>
#include <vector>

namespace pelmora {

// The arguments after the program name, as UTF-8. Windows: read from the wide command line, since
// main's argv holds them in the ANSI code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output as the printed forms expect it: their own line ends kept as written (Windows would
// turn a CSV row's CRLF into CR CR LF), and UTF-8 shown as such on a Windows console.
void PrepareStandardOutput();

// Whether standard error is a terminal (a console on Windows), where a progress bar can be drawn.
bool StandardErrorIsTerminal();

}  // namespace pelmora
