// Stored password hashes of the user catalog:
//   pbkdf2-sha256$<iterations>$<salt, hex>$<derived key, hex>
// The same text is written and accepted by the native and the Windows build.
#ifndef ZEVDTAPI_PASSWORD_HASH_H
#define ZEVDTAPI_PASSWORD_HASH_H

#include <cstdint>
#include <string>
#include <vector>

namespace zevdtapi {

constexpr uint32_t kDefaultPasswordIterations = 100000;

std::string HashPassword(const std::string& password, const std::vector<uint8_t>& salt,
                         uint32_t iterations = kDefaultPasswordIterations);
std::vector<uint8_t> RandomSalt();

// False for a wrong password and for a stored text that is not a hash of ours.
// The derived keys are compared in constant time.
bool VerifyPassword(const std::string& password, const std::string& stored);

// Costs what a real verification costs, so that an unknown user name cannot be
// told from a wrong password by timing.
void SpendVerificationTime(const std::string& password);

}  // namespace zevdtapi

#endif
