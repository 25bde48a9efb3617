#include "engine/fingerprint.h"

#include <charconv>
#include <cstring>

namespace engine {
namespace {

constexpr std::uint64_t kMul1 = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kMul2 = 0xC2B2AE3D27D4EB4Full;

inline std::uint64_t Rotl(std::uint64_t v, int r) { return (v << r) | (v >> (64 - r)); }

inline std::uint64_t Mix(std::uint64_t h, std::uint64_t w) {
    h ^= Rotl(w * kMul2, 31) * kMul1;
    return Rotl(h, 27) * kMul1 + 0x52DCE729u;
}

inline std::uint64_t Final(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

}  // namespace

Fingerprint FingerprintOf(std::string_view bytes) {
    // Four independent lanes over 32-byte blocks keep the multiplier pipeline busy; the tail goes
    // through the first lane word by word, then byte by byte.
    std::uint64_t lane[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                             0x082EFA98EC4E6C89ull};
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    while (n >= 32) {
        for (int k = 0; k < 4; ++k) {
            std::uint64_t w;
            std::memcpy(&w, p + 8 * k, 8);
            lane[k] = Mix(lane[k], w);
        }
        p += 32;
        n -= 32;
    }
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        lane[0] = Mix(lane[0], w);
        p += 8;
        n -= 8;
    }
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < n; ++i) tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    lane[1] = Mix(lane[1], tail ^ (static_cast<std::uint64_t>(n) << 56));
    std::uint64_t h = Rotl(lane[0], 1) + Rotl(lane[1], 7) + Rotl(lane[2], 12) + Rotl(lane[3], 18);
    h = Mix(h, bytes.size());
    return Fingerprint{bytes.size(), Final(h), true};
}

std::string FingerprintText(const Fingerprint& f) {
    if (!f.known) return "-";
    char buf[64];
    char* end = std::to_chars(buf, buf + 30, f.size).ptr;
    *end++ = ':';
    end = std::to_chars(end, buf + sizeof buf, f.hash, 16).ptr;
    return std::string(buf, end);
}

bool ParseFingerprint(std::string_view text, Fingerprint& f) {
    f = Fingerprint{};
    if (text == "-") return true;
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const char* b = text.data();
    auto r1 = std::from_chars(b, b + colon, f.size);
    auto r2 = std::from_chars(b + colon + 1, b + text.size(), f.hash, 16);
    if (r1.ec != std::errc() || r1.ptr != b + colon || r2.ec != std::errc() || r2.ptr != b + text.size()) return false;
    f.known = true;
    return true;
}

}  // namespace engine
