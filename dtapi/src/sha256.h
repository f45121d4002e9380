// SHA-256, HMAC-SHA-256 and PBKDF2-HMAC-SHA-256: the password hashing of the user
// catalog. Written here so that the native and the Windows build store the same
// hashes without depending on a crypto library that one of them lacks.
#ifndef ZEVDTAPI_SHA256_H
#define ZEVDTAPI_SHA256_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zevdtapi {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
  public:
    Sha256();
    void Update(const void* data, size_t size);
    Sha256Digest Finish();

  private:
    void Block(const uint8_t* block);

    uint32_t state_[8];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t length_ = 0;
};

Sha256Digest Sha256Of(const void* data, size_t size);
Sha256Digest HmacSha256(const void* key, size_t keySize, const void* data, size_t size);
std::vector<uint8_t> Pbkdf2HmacSha256(const std::string& password, const std::vector<uint8_t>& salt,
                                      uint32_t iterations, size_t outputSize);

}  // namespace zevdtapi

#endif
