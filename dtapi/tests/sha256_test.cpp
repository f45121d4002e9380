// Published test vectors: a wrong rotation or padding byte fails them all.
#include "sha256.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "password_hash.h"

namespace {

template <class Bytes>
std::string Hex(const Bytes& bytes) {
    static const char d[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out += d[b >> 4];
        out += d[b & 15];
    }
    return out;
}

TEST(Sha256, KnownDigestsIncludingBlockBoundaries) {
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
              Hex(zevdtapi::Sha256Of("", 0)));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
              Hex(zevdtapi::Sha256Of("abc", 3)));
    const char* two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";  // 56 bytes: padding spills
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              Hex(zevdtapi::Sha256Of(two, std::strlen(two))));
    zevdtapi::Sha256 h;  // the same input fed in odd pieces
    for (size_t i = 0; i < std::strlen(two); i += 7)
        h.Update(two + i, std::min<size_t>(7, std::strlen(two) - i));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1", Hex(h.Finish()));
    // Where the padding just fits, just spills, or starts a block of its own.
    const std::pair<size_t, const char*> lengths[] = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"}};
    for (const auto& [n, digest] : lengths) {
        std::string a(n, 'a');
        EXPECT_EQ(digest, Hex(zevdtapi::Sha256Of(a.data(), a.size()))) << n << " bytes";
    }
}

TEST(Sha256, HmacVectorsOfRfc4231) {
    std::string key(20, '\x0b');
    EXPECT_EQ("b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7",
              Hex(zevdtapi::HmacSha256(key.data(), key.size(), "Hi There", 8)));
    const char* what = "what do ya want for nothing?";
    EXPECT_EQ("5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843",
              Hex(zevdtapi::HmacSha256("Jefe", 4, what, std::strlen(what))));
    std::string longKey(131, '\xaa');  // longer than a block: hashed first
    const char* text = "Test Using Larger Than Block-Size Key - Hash Key First";
    EXPECT_EQ("60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54",
              Hex(zevdtapi::HmacSha256(longKey.data(), longKey.size(), text, std::strlen(text))));
}

TEST(Sha256, Pbkdf2VectorsOfRfc7914) {
    EXPECT_EQ(
        "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
        "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783",
        Hex(zevdtapi::Pbkdf2HmacSha256("passwd", {'s', 'a', 'l', 't'}, 1, 64)));
    EXPECT_EQ(
        "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
        "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d",
        Hex(zevdtapi::Pbkdf2HmacSha256("Password", {'N', 'a', 'C', 'l'}, 80000, 64)));
}

TEST(PasswordHash, AcceptsOnlyTheRightPasswordAndWellFormedHashes) {
    std::vector<uint8_t> salt(16, 7);
    std::string stored = zevdtapi::HashPassword("s3cret", salt, 1000);
    EXPECT_EQ(0u, stored.find("pbkdf2-sha256$1000$"));
    EXPECT_TRUE(zevdtapi::VerifyPassword("s3cret", stored));
    EXPECT_FALSE(zevdtapi::VerifyPassword("s3cret ", stored));
    EXPECT_FALSE(zevdtapi::VerifyPassword("", stored));
    EXPECT_FALSE(zevdtapi::VerifyPassword("s3cret", "s3cret"));  // a plain-text row is no hash
    EXPECT_FALSE(zevdtapi::VerifyPassword("s3cret", "pbkdf2-sha256$99999999999$00$00"));
    EXPECT_FALSE(
        zevdtapi::VerifyPassword("s3cret", "pbkdf2-sha256$1000$zz$" + stored.substr(stored.rfind('$') + 1)));
    EXPECT_NE(zevdtapi::RandomSalt(), zevdtapi::RandomSalt());
}

}  // namespace
