#include "password_hash.h"

#include <random>

#include "sha256.h"

namespace zevdtapi {
namespace {

const char kScheme[] = "pbkdf2-sha256";
// A stored hash cannot make a login run for minutes.
constexpr uint32_t kMaxIterations = 10000000;

std::string ToHex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool FromHex(const std::string& text, std::vector<uint8_t>* out) {
    if (text.size() % 2 != 0)
        return false;
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    out->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = value(text[i]), lo = value(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out->push_back(uint8_t(hi * 16 + lo));
    }
    return true;
}

bool ConstantTimeEqual(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size())
        return false;
    volatile uint8_t diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff = diff | uint8_t(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace

std::string HashPassword(const std::string& password, const std::vector<uint8_t>& salt, uint32_t iterations) {
    std::vector<uint8_t> key = Pbkdf2HmacSha256(password, salt, iterations, 32);
    return std::string(kScheme) + "$" + std::to_string(iterations) + "$" + ToHex(salt) + "$" + ToHex(key);
}

std::vector<uint8_t> RandomSalt() {
    std::random_device device;
    std::vector<uint8_t> salt(16);
    for (auto& b : salt) b = uint8_t(device());
    return salt;
}

bool VerifyPassword(const std::string& password, const std::string& stored) {
    size_t a = stored.find('$');
    size_t b = a == std::string::npos ? a : stored.find('$', a + 1);
    size_t c = b == std::string::npos ? b : stored.find('$', b + 1);
    if (c == std::string::npos || stored.compare(0, a, kScheme) != 0) {
        SpendVerificationTime(password);
        return false;
    }
    std::string iterText = stored.substr(a + 1, b - a - 1);
    std::vector<uint8_t> salt, expected;
    unsigned long long iterations = 0;
    bool ok = !iterText.empty() && iterText.size() <= 8 &&
              iterText.find_first_not_of("0123456789") == std::string::npos;
    if (ok)
        iterations = std::stoull(iterText);
    ok = ok && iterations >= 1 && iterations <= kMaxIterations &&
         FromHex(stored.substr(b + 1, c - b - 1), &salt) && FromHex(stored.substr(c + 1), &expected) &&
         expected.size() >= 16 && expected.size() <= 64;
    if (!ok) {
        SpendVerificationTime(password);
        return false;
    }
    std::vector<uint8_t> derived = Pbkdf2HmacSha256(password, salt, uint32_t(iterations), expected.size());
    return ConstantTimeEqual(derived, expected);
}

void SpendVerificationTime(const std::string& password) {
    volatile uint8_t sink =
        Pbkdf2HmacSha256(password, std::vector<uint8_t>(16, 0), kDefaultPasswordIterations, 32)[0];
    (void)sink;
}

}  // namespace zevdtapi
