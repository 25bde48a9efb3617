// A short fingerprint of a file's bytes: its size and a 64-bit hash. The rewrites compare the
// fingerprint taken when the project was loaded with the file as it is now (a file changed since
// the load is not rewritten), and the change journal keeps the fingerprints of what a commit
// replaced and what it wrote, so that recovery and undo touch a file only while it holds exactly
// what they expect. The hash finds accidental changes; it is not meant to resist a forger.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

struct Fingerprint {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool known = false;  // taken from real bytes (a default-made fingerprint matches nothing)

    friend bool operator==(const Fingerprint& a, const Fingerprint& b) {
        return a.known && b.known && a.size == b.size && a.hash == b.hash;
    }
    friend bool operator!=(const Fingerprint& a, const Fingerprint& b) { return !(a == b); }
};

Fingerprint FingerprintOf(std::string_view bytes);

// "size:hash" in decimal and hexadecimal; ParseFingerprint reads it back (false for anything else).
std::string FingerprintText(const Fingerprint& f);
bool ParseFingerprint(std::string_view text, Fingerprint& f);

}  // namespace engine

namespace engine {

// SHA-256 of `bytes` (32 bytes), and HMAC-SHA-256 of `message` under `key`: the digests that prove a
// record of ours to be ours, where a forger must not be able to match one.
std::string Sha256(std::string_view bytes);
std::string HmacSha256(std::string_view key, std::string_view message);
// Lower-case hexadecimal of bytes.
std::string HexOf(std::string_view bytes);

}  // namespace engine
