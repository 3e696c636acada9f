#pragma once
// Zeroing that the optimiser may not drop, for state that must not outlive its use in memory.
#include <cstddef>

namespace pelmora {

inline void SecureZero(void* data, std::size_t size) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

}  // namespace pelmora
