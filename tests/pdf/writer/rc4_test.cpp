#include "pdf/writer/rc4.h"

#include "tests/pdf/writer/openssl_oracle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using pagora::detail::Rc4Cipher;
using testing_support::FromHex;
using testing_support::OpensslRc4;
using testing_support::ToHex;

// Key streams of the published RC4 test vectors (RFC 6229): 40-bit and 128-bit keys, the bytes
// at offsets 0, 16, 240 and 256.
TEST(Rc4, PublishedKeyStreams) {
    const struct {
        const char* key;
        const char* rows[4];
    } cases[] = {
        {"0102030405",
         {"b2396305f03dc027ccc3524a0a1118a8", "6982944f18fc82d589c403a47a0d0919",
          "28cb1132c96ce286421dcaadb8b69eae", "1cfcf62b03eddb641d77dfcf7f8d8c93"}},
        {"0102030405060708090a0b0c0d0e0f10",
         {"9ac7cc9a609d1ef7b2932899cde41b97", "5248c4959014126a6e8a84f11d1a9e1c",
          "065902e4b620f6cc36c8589f66432f2b", "d39d566bc6bce3010768151549f3873f"}},
    };
    Rc4Cipher rc4;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string stream = rc4.CipherRC4(FromHex(c.key), std::string(272, '\0'));
        const std::size_t offsets[] = {0, 16, 240, 256};
        for (std::size_t r = 0; r < 4; ++r)
            EXPECT_EQ(ToHex(stream.substr(offsets[r], 16)), c.rows[r]) << "offset " << offsets[r];
    }
}

// The key lengths of the published vectors (40 to 256 bits) and the object key lengths of
// both revisions, over 4 KiB of text so the whole key stream the vectors cover is compared.
TEST(Rc4, EqualsOpensslForEveryVectorKey) {
    std::string data(4112, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 31 + 7);
    const char* keys[] = {"0102030405",
                          "833222772a",
                          "01020304050607",
                          "0102030405060708",
                          "0102030405060708090a",
                          "0102030405060708090a0b0c0d0e0f10",
                          "ebb46227c6cc8b37641910833222772a",
                          "0102030405060708090a0b0c0d0e0f101112131415161718",
                          "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20",
                          "ff"};
    Rc4Cipher rc4;
    for (const char* hex : keys) {
        SCOPED_TRACE(hex);
        const std::string key = FromHex(hex);
        EXPECT_EQ(rc4.CipherRC4(key, data), OpensslRc4(key, data));
    }
}

// The cached schedule must never leak state from one call into the next: each call starts the
// key stream afresh, and switching keys and back gives the first output again.
TEST(Rc4, EveryCallStartsTheKeyStreamAfresh) {
    Rc4Cipher rc4;
    const std::string a = FromHex("0102030405");
    const std::string b = FromHex("0102030405060708090a0b0c0d0e0f10");
    const std::string text = "Literal (string) with bytes \x01\xFF\r\n";

    const std::string first = rc4.CipherRC4(a, text);
    EXPECT_EQ(first, OpensslRc4(a, text));
    EXPECT_EQ(rc4.CipherRC4(a, text), first);
    EXPECT_EQ(rc4.CipherRC4(b, text), OpensslRc4(b, text));
    EXPECT_EQ(rc4.CipherRC4(a, text), first);
    EXPECT_EQ(rc4.CipherRC4(a, first), text); // the same operation decrypts

    std::string in_place = text;
    rc4.CipherRC4InPlace(a, in_place);
    EXPECT_EQ(in_place, first);
    // A key that begins like the cached one is another key.
    EXPECT_EQ(rc4.CipherRC4(a.substr(0, 4), text), OpensslRc4(a.substr(0, 4), text));
}

TEST(Rc4, EmptyDataAndEmptyKey) {
    Rc4Cipher rc4;
    EXPECT_EQ(rc4.CipherRC4("key", ""), "");
    EXPECT_THROW(rc4.CipherRC4("", "data"), std::invalid_argument);
}

} // namespace
