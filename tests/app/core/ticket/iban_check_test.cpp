#include "app/core/ticket/iban_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kerbolt::ticket::CheckIban;

struct IbanCase {
    std::string iban;
    bool valid;
};

class CheckIbanCases : public ::testing::TestWithParam<IbanCase> {};

TEST_P(CheckIbanCases, FollowsTheRemainderRuleForTheAcceptedPrefixes) {
    EXPECT_EQ(CheckIban(GetParam().iban), GetParam().valid) << GetParam().iban;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckIbanCases,
    ::testing::Values(IbanCase{"CH93 0076 2011 6238 5295 7", true},
                      IbanCase{"CH9300762011623852957", true},
                      IbanCase{" CH93  0076 2011 6238 5295 7 ", true},
                      IbanCase{std::string("CH93 0076 2011\0 6238 5295 7", 27), true},
                      IbanCase{"CH93 0076 2011 6238 5295 8", false},  // one wrong digit
                      IbanCase{"ch93 0076 2011 6238 5295 7", false},  // lower-case prefix
                      IbanCase{"DE89 3704 0044 0532 0130 00", false}, // valid, but German
                      IbanCase{"LI21 0881 0000 2324 013A A", true},   // Liechtenstein
                      IbanCase{"LI21 0881 0000 2324 013a a", false},  // letters must be capitals
                      IbanCase{"FL66 0881 0000 2324 013A A", true},   // the older prefix
                      IbanCase{"FL67 0881 0000 2324 013A A", false},
                      IbanCase{"CH93-0076-2011-6238-5295-7", false}, // punctuation spoils it
                      IbanCase{"CHé3 0076 2011 6238 5295 7", false}, IbanCase{"", false},
                      IbanCase{"CH", false}, IbanCase{"C", false}));

} // namespace
