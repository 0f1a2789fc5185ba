#include "app/core/lists/indemnite_lines.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/stored_text.h"
#include "tests/support/data_file_sample.h"

#include <gtest/gtest.h>

namespace {

using namespace kerbolt;
using namespace kerbolt::lists;

using testing_support::ListedTicket;

// Marks: empty, a date, cancelled, the same letters in lower case; and a record without a
// reference.
std::vector<store::IndemniteRecord> Records() {
    return {ListedTicket("000NZFAP-0", ""),         ListedTicket("000NZFAP-1", "12.03.2025"),
            ListedTicket("000NZFAP-2", "ANNULE-x"), ListedTicket("000NZFAP-3", "annule-x"),
            ListedTicket("", "01.01.2025"),         ListedTicket("   ", "")};
}

std::vector<std::string> References(const std::vector<std::string>& lines) {
    std::vector<std::string> refs;
    for (const std::string& line : lines)
        refs.push_back(store::TrimBlanks(CharSlice(line, 0, 15)));
    return refs;
}

TEST(IndemniteLines, FiltersListWhatIsPendingOrPaidButNeverCancelled) {
    using Refs = std::vector<std::string>;
    EXPECT_EQ(References(FillList(Records(), kAll)),
              (Refs{"000NZFAP-0", "000NZFAP-1", "000NZFAP-3"}));
    EXPECT_EQ(References(FillList(Records(), kPending)), (Refs{"000NZFAP-0"}));
    EXPECT_EQ(References(FillList(Records(), kPaid)), (Refs{"000NZFAP-1", "000NZFAP-3"}));
    EXPECT_TRUE(FillList(Records(), 3).empty());
    EXPECT_TRUE(FillList({}, kAll).empty());
}

TEST(IndemniteLines, FixedColumnsThenTheMarkUnpadded) {
    const std::string pending = IndemniteLine(ListedTicket("000NZFAP-0", ""));
    EXPECT_EQ(pending, "000NZFAP-0     0     03.02.2025 14:05    VD 123456      50        ");
    EXPECT_EQ(CharCount(pending), 66u);
    EXPECT_EQ(IndemniteLine(ListedTicket("000NZFAP-0", "12.03.2025")), pending + "12.03.2025");
    // A reference longer than its column is cut.
    EXPECT_EQ(CharSlice(IndemniteLine(ListedTicket("ABCDEFGHIJKLMNOPQ", "")), 0, 16),
              "ABCDEFGHIJKLMNO0");
}

TEST(IndemniteLines, AmountKeysTypeAnAmount) {
    std::u32string typed;
    for (const char32_t key : std::u32string(U"12,50a- x€")) {
        if (const auto ch = FilterAmountKey(key)) typed += *ch;
    }
    EXPECT_EQ(typed, U"12.50");
    EXPECT_EQ(FilterAmountKey(8), std::optional<char32_t>(8)); // backspace
    EXPECT_EQ(FilterAmountKey(22), std::nullopt);              // Ctrl+V
    EXPECT_EQ(FilterAmountKey(U'.'), std::optional<char32_t>(U'.'));
}

} // namespace
