#pragma once
// A reproducible stream of hostile path texts for the path probes: empty,
// only separators, quotes, '|', wildcards, UNC and device names, Windows-1252
// high bytes, and lengths around and far beyond 260 characters.
#include <cstdint>
#include <string>

// Small, fixed generator so every platform sees the same inputs.
struct HostileRandom {
    uint64_t state;
    explicit HostileRandom(uint64_t seed) : state(seed * 2654435761u + 1) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 11);
    }
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }
};

inline std::string HostilePiece(HostileRandom& random) {
    static const char* const pieces[] = {
        "\\", "/", "\\\\", "\"", "|", "*", "?", "*.*", ":", "C:", "c:\\", "Z:", "..", ".", " ", "\\\\server\\share",
        "\\\\?\\", "\\\\.\\", "\\\\?\\UNC\\", "CON", "NUL", "PRN", "AUX", "COM1", "LPT1", "CONIN$", "nul.txt",
        "Tarvolin.exe", "Grafiken\\Icon.ico", "Tarvolin.lnk", "\xE4\xF6\xFC\xDF", "\x80\x9F\xA0\xFF", "%TEMP%",
        "\t", "\r\n", "<>", "a", "dir\\", "\"C:\\Program Files\\\"",
    };
    constexpr uint32_t count = sizeof(pieces) / sizeof(pieces[0]);
    switch (random.Below(4)) {
    case 0: return std::string(1, static_cast<char>(1 + random.Below(255)));  // any byte but NUL
    case 1: return std::string(1 + random.Below(8), "\\/|\"*?:."[random.Below(8)]);
    default: return pieces[random.Below(count)];
    }
}

// Input number `index` of the stream: mostly short texts, every fourth one
// from 259 to 2000 characters.
inline std::string HostilePath(HostileRandom& random, uint32_t index) {
    if (index == 0) return std::string();
    std::string path;
    size_t target = (index % 4 == 0) ? 259 + random.Below(2000 - 259 + 1) : random.Below(40);
    while (path.size() < target) path += HostilePiece(random);
    if (index % 4 == 0) path.resize(target);  // exact lengths around 260 matter
    return path;
}
