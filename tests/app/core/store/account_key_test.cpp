#include "app/core/store/account_key.h"

#include <gtest/gtest.h>

#include <string>

namespace kerbolt::store {
namespace {

TEST(AccountKey, KnownAddresses) {
    struct Case {
        std::string address;
        const char* key;
    };
    const Case cases[] = {
        {"a@b.ch", "000NZFAP"},
        {"A@B.CH", "000NZFAP"},
        {"test@example.com", "002OVN98"},
        {"jean.dupont@bluewin.ch", "004I58OP"},
        {std::string(50, 'z') + "@b.ch", "00Q1STAT"}, // near the old arithmetic's limit
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeAccountKey(c.address), c.key) << c.address;
}

TEST(AccountKey, NonAsciiLettersAreLowerCasedInTheCodePage) {
    EXPECT_EQ(ComputeAccountKey("\xC3\x89LODIE@b.ch"), ComputeAccountKey("\xC3\xA9lodie@b.ch"));
    EXPECT_NE(ComputeAccountKey("\xC3\xA9lodie@b.ch"), ComputeAccountKey("elodie@b.ch"));
}

TEST(AccountKey, LongAddressesStillGiveEightCharacters) {
    // Far past the sums the narrow arithmetic could hold: a defined key, no overflow.
    for (std::size_t length : {100u, 1000u, 100000u}) {
        const std::string key = ComputeAccountKey(std::string(length, '\xC3') + "@b.ch");
        ASSERT_EQ(key.size(), 8u);
        EXPECT_EQ(key.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    }
}

TEST(AccountKey, ToBase36) {
    EXPECT_EQ(ToBase36(0), "0");
    EXPECT_EQ(ToBase36(35), "Z");
    EXPECT_EQ(ToBase36(36), "10");
    EXPECT_EQ(ToBase36(2147483646), "ZIK0ZI");
}

} // namespace
} // namespace kerbolt::store
