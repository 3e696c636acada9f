#pragma once
// The safety net: the simulator broadcasts, so it runs only in a network namespace of its own.
#include <string>

namespace pelmora {

enum class NamespaceVerdict { Private, Initial, Unknown };

// Compares the network namespaces behind two /proc/<pid>/ns/net paths; Unknown when either cannot
// be read. detail says what was found.
NamespaceVerdict CompareNetNamespaces(const std::string& ours, const std::string& reference, std::string& detail);

// Ours against the machine's: PID 1's namespace, else kthreadd's (kernel threads live in the initial
// namespace), else the fixed inode number that recent kernels give the initial namespace.
NamespaceVerdict CheckNetNamespace(std::string& detail);

}  // namespace pelmora
