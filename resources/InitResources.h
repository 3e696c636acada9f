#pragma once

namespace pelmora {

// Registers the compiled-in files under ":/"; a static library's resources stay out of a program
// unless something calls this. Safe to call any number of times.
void InitResources();

}  // namespace pelmora
