#pragma once
// A second, deliberately plain rendering of the Sapphire II steps (ints, explicit modulo, no shared code)
// that the tests hold the production cipher against.
#include <cstdint>
#include <utility>
#include <vector>

namespace pelmora::test {

struct SapphireReference {
    int cards[256] = {};
    int rotor = 0, ratchet = 0, avalanche = 0, lastPlain = 0, lastCipher = 0;
    int finalRsum = 0;        // rsum as the last draw of the key set-up left it
    int maxDrawsPerPick = 0;  // most key bytes one pick consumed

    explicit SapphireReference(const std::vector<int>& key) {
        for (int i = 0; i < 256; ++i) cards[i] = i;
        std::size_t keypos = 0;
        int rsum = 0;
        const int length = static_cast<int>(key.size());
        for (int i = 255; i >= 1; --i) {
            int mask = 1;
            while (mask < i) mask = mask * 2 + 1;
            int retries = 0;
            int u;
            do {
                rsum = (cards[rsum] + key[keypos]) % 256;
                keypos++;
                if (keypos >= key.size()) {
                    keypos = 0;
                    rsum = (rsum + length) % 256;
                }
                retries++;
                u = rsum & mask;
                if (retries > 11) u = u % i;
            } while (u > i);
            if (retries > maxDrawsPerPick) maxDrawsPerPick = retries;
            std::swap(cards[i], cards[u]);
        }
        rotor = cards[1];
        ratchet = cards[3];
        avalanche = cards[5];
        lastPlain = cards[7];
        lastCipher = cards[rsum];
        finalRsum = rsum;
    }

    int Keystream() {
        ratchet = (ratchet + cards[rotor]) % 256;
        rotor = (rotor + 1) % 256;
        int t = cards[lastCipher];
        cards[lastCipher] = cards[ratchet];
        cards[ratchet] = cards[lastPlain];
        cards[lastPlain] = cards[rotor];
        cards[rotor] = t;
        avalanche = (avalanche + cards[t]) % 256;
        return cards[(cards[ratchet] + cards[rotor]) % 256] ^
               cards[cards[(cards[lastPlain] + cards[lastCipher] + cards[avalanche]) % 256]];
    }
    int Encipher(int p) {
        const int c = p ^ Keystream();
        lastPlain = p;
        lastCipher = c;
        return c;
    }
    int Decipher(int c) {
        const int p = c ^ Keystream();
        lastPlain = p;
        lastCipher = c;
        return p;
    }
};

}  // namespace pelmora::test
