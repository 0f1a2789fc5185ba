#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

namespace {

using pagora::Pagora;

TEST(CodePages, WesternRoundTripsAccentsAndEuro) {
    const std::string text = "Indemnité à Zürich: 50 € – «ok»";
    const std::string bytes = Pagora::FromUtf8(text);
    EXPECT_EQ(bytes, "Indemnit\xE9 \xE0 Z\xFCrich: 50 \x80 \x96 \xABok\xBB");
    EXPECT_EQ(Pagora::ToUtf8(bytes), text);
}

TEST(CodePages, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Pagora::FromUtf8("\xE2\x88\x9E"), "?"); // infinity sign
    EXPECT_EQ(Pagora::FromUtf8("a\xC3"), "a?");       // cut sequence
    EXPECT_EQ(Pagora::FromUtf8("\xFF"
                               "b"),
              "?b");
}

} // namespace
