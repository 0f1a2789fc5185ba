#include "pdf/writer/md5.h"

#include "tests/pdf/writer/openssl_oracle.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using pagora::detail::GetMD5;
using pagora::detail::Md5;
using testing_support::OpensslMd5;
using testing_support::ToHex;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(gen() & 0xFF);
    return bytes;
}

std::string Digest(Md5 md5) {
    const auto digest = md5.Finish();
    return std::string(digest.begin(), digest.end());
}

TEST(Md5, ReferenceSuite) {
    const struct {
        std::string message;
        const char* hex;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ToHex(GetMD5(c.message)), c.hex);
        EXPECT_EQ(GetMD5(c.message), OpensslMd5(c.message));
    }
}

// Every length around the padding boundaries (55, 56, 63, 64 and their next-block twins), fed
// whole and in uneven pieces that straddle the 64-byte blocks.
TEST(Md5, EqualsOpensslForEveryLengthAndSplit) {
    for (std::size_t size = 0; size <= 200; ++size) {
        SCOPED_TRACE(size);
        const std::string message = RandomBytes(size, static_cast<unsigned>(size));
        const std::string expected = OpensslMd5(message);
        ASSERT_EQ(GetMD5(message), expected);

        for (std::size_t piece : {1u, 7u, 63u, 65u}) {
            Md5 md5;
            for (std::size_t pos = 0; pos < size; pos += piece)
                md5.Update(std::string_view(message).substr(pos, piece));
            ASSERT_EQ(Digest(md5), expected) << "pieces of " << piece;
        }
    }
    const std::string large = RandomBytes(1 << 20, 7);
    EXPECT_EQ(GetMD5(large), OpensslMd5(large));
}

TEST(Md5, FinishStartsOver) {
    Md5 md5;
    md5.Update("something else first");
    (void)md5.Finish();
    md5.Update("abc");
    EXPECT_EQ(ToHex(Digest(md5)), "900150983cd24fb0d6963f7d28e17f72");
}

} // namespace
