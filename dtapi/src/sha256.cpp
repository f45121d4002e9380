#include "sha256.h"

#include <cstring>

namespace zevdtapi {
namespace {

const uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

inline uint32_t Rotr(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {
}

void Sha256::Block(const uint8_t* p) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = (uint32_t(p[4 * i]) << 24) | (uint32_t(p[4 * i + 1]) << 16) | (uint32_t(p[4 * i + 2]) << 8) |
               uint32_t(p[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha256::Update(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    length_ += size;
    while (size > 0) {
        size_t take = 64 - buffered_;
        if (take > size)
            take = size;
        std::memcpy(buffer_ + buffered_, p, take);
        buffered_ += take;
        p += take;
        size -= take;
        if (buffered_ == 64) {
            Block(buffer_);
            buffered_ = 0;
        }
    }
}

Sha256Digest Sha256::Finish() {
    uint64_t bits = length_ * 8;
    // 0x80, then zeros up to 56 bytes into a block, in one step: PBKDF2 finishes two
    // hashes per round, and a byte at a time the padding cost more than the rounds.
    uint8_t pad[64] = {0x80};
    Update(pad, (buffered_ < 56 ? 56 : 120) - buffered_);
    uint8_t len[8];
    for (int i = 0; i < 8; ++i) len[i] = uint8_t(bits >> (56 - 8 * i));
    Update(len, 8);
    Sha256Digest out;
    for (int i = 0; i < 8; ++i) {
        out[4 * i] = uint8_t(state_[i] >> 24);
        out[4 * i + 1] = uint8_t(state_[i] >> 16);
        out[4 * i + 2] = uint8_t(state_[i] >> 8);
        out[4 * i + 3] = uint8_t(state_[i]);
    }
    return out;
}

Sha256Digest Sha256Of(const void* data, size_t size) {
    Sha256 h;
    h.Update(data, size);
    return h.Finish();
}

Sha256Digest HmacSha256(const void* key, size_t keySize, const void* data, size_t size) {
    uint8_t block[64] = {0};
    if (keySize > 64) {
        Sha256Digest k = Sha256Of(key, keySize);
        std::memcpy(block, k.data(), k.size());
    } else if (keySize > 0) {
        std::memcpy(block, key, keySize);
    }
    uint8_t inner[64], outer[64];
    for (int i = 0; i < 64; ++i) {
        inner[i] = block[i] ^ 0x36;
        outer[i] = block[i] ^ 0x5c;
    }
    Sha256 in;
    in.Update(inner, 64);
    in.Update(data, size);
    Sha256Digest innerDigest = in.Finish();
    Sha256 out;
    out.Update(outer, 64);
    out.Update(innerDigest.data(), innerDigest.size());
    return out.Finish();
}

std::vector<uint8_t> Pbkdf2HmacSha256(const std::string& password, const std::vector<uint8_t>& salt,
                                      uint32_t iterations, size_t outputSize) {
    // The keyed pads are hashed once; every iteration then costs two compressions.
    uint8_t block[64] = {0};
    if (password.size() > 64) {
        Sha256Digest k = Sha256Of(password.data(), password.size());
        std::memcpy(block, k.data(), k.size());
    } else if (!password.empty()) {
        std::memcpy(block, password.data(), password.size());
    }
    uint8_t pad[64];
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
    Sha256 innerStart;
    innerStart.Update(pad, 64);
    for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
    Sha256 outerStart;
    outerStart.Update(pad, 64);
    auto mac = [&](const uint8_t* data, size_t size) {
        Sha256 in = innerStart;
        in.Update(data, size);
        Sha256Digest d = in.Finish();
        Sha256 out = outerStart;
        out.Update(d.data(), d.size());
        return out.Finish();
    };

    std::vector<uint8_t> out;
    out.reserve(outputSize);
    std::vector<uint8_t> saltBlock(salt);
    saltBlock.resize(salt.size() + 4);
    for (uint32_t blockIndex = 1; out.size() < outputSize; ++blockIndex) {
        saltBlock[salt.size()] = uint8_t(blockIndex >> 24);
        saltBlock[salt.size() + 1] = uint8_t(blockIndex >> 16);
        saltBlock[salt.size() + 2] = uint8_t(blockIndex >> 8);
        saltBlock[salt.size() + 3] = uint8_t(blockIndex);
        Sha256Digest u = mac(saltBlock.data(), saltBlock.size());
        Sha256Digest t = u;
        for (uint32_t i = 1; i < iterations; ++i) {
            u = mac(u.data(), u.size());
            for (size_t j = 0; j < t.size(); ++j) t[j] ^= u[j];
        }
        for (size_t j = 0; j < t.size() && out.size() < outputSize; ++j) out.push_back(t[j]);
    }
    return out;
}

}  // namespace zevdtapi
