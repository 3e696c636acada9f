#pragma once
// Discovery reply payloads (00 03 and an element list) of the shapes devices send, for seeding fuzzers.
#include <cstdint>
#include <vector>

namespace pelmora::fuzz {

std::vector<std::vector<std::uint8_t>> ReplyPayloadSamples();

}  // namespace pelmora::fuzz
