#pragma once
// Zeroing that the optimiser may not drop, for state that must not outlive its use in memory. The C
// library's own wipes carry that guarantee and clear whole words, not one volatile byte at a time.
#include <cstddef>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <string.h>  // NOLINT(modernize-deprecated-headers): explicit_bzero is not in <cstring>
#endif

namespace pelmora {

inline void SecureZero(void* data, std::size_t size) {
#ifdef _WIN32
    SecureZeroMemory(data, size);
#else
    explicit_bzero(data, size);
#endif
}

}  // namespace pelmora
