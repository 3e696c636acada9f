// Writes the seed corpus of the reply fuzzer into the directory given: every sample once as a sealed
// datagram and once as a plaintext payload.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/ReplySamples.h"
#include "protocol/PacketEnvelope.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    int index = 0;
    for (std::vector<std::uint8_t> payload : pelmora::fuzz::ReplyPayloadSamples()) {
        const std::string stem = dir + "/seed-" + std::to_string(index++);
        std::ofstream(stem + ".payload", std::ios::binary)
            .write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));

        std::uint8_t header[pelmora::HEADER_CAPACITY];
        pelmora::BufferPart parts[2] = {{pelmora::HEADER_CAPACITY, header},
                                        {static_cast<std::uint32_t>(payload.size()), payload.data()}};
        if (!pelmora::SealPacket(parts)) return 1;
        std::ofstream out(stem + ".sealed", std::ios::binary);
        out.write(reinterpret_cast<const char*>(header), parts[0].length);
        out.write(reinterpret_cast<const char*>(payload.data()), static_cast<std::streamsize>(payload.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s.sealed\n", stem.c_str());
            return 1;
        }
    }
    return 0;
}
