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

namespace engine {
namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98,
    0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786,
    0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8,
    0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13,
    0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819,
    0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a,
    0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2};

inline std::uint32_t Rotr(std::uint32_t v, int r) { return (v >> r) | (v << (32 - r)); }

void Sha256Block(std::uint32_t h[8], const unsigned char* p) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) |
               (std::uint32_t(p[4 * i + 2]) << 8) | std::uint32_t(p[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = k + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += k;
}

}  // namespace

std::string Sha256(std::string_view bytes) {
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    for (; n >= 64; p += 64, n -= 64) Sha256Block(h, p);
    unsigned char last[128] = {};
    std::memcpy(last, p, n);
    last[n] = 0x80;
    const std::size_t blocks = n + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i) last[blocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    for (std::size_t b = 0; b < blocks; ++b) Sha256Block(h, last + 64 * b);
    std::string out(32, '\0');
    for (int i = 0; i < 32; ++i) out[i] = static_cast<char>(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

std::string HmacSha256(std::string_view key, std::string_view message) {
    std::string k = key.size() > 64 ? Sha256(key) : std::string(key);
    k.resize(64, '\0');
    std::string inner(64, '\0'), outer(64, '\0');
    for (int i = 0; i < 64; ++i) {
        inner[i] = static_cast<char>(k[i] ^ 0x36);
        outer[i] = static_cast<char>(k[i] ^ 0x5c);
    }
    inner.append(message);
    outer += Sha256(inner);
    return Sha256(outer);
}

std::string HexOf(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

}  // namespace engine
