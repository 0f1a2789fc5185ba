// The pieces of page import that need no file: the renumbering of references in an object's
// text (never inside strings, names or comments), the decoding of literal strings, and the
// decoders of the stream filters page content comes in.
#include "pdf/import/object_syntax.h"
#include "pdf/import/page_import.h"
#include "pdf/import/stream_filters.h"
#include "pdf/writer/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using pagora::detail::DecodeFilters;
using pagora::detail::DecodeLiteralString;
using pagora::detail::RewriteObjectText;

// Each object n is copied as n + 100; a number no object can have becomes null.
std::string Renumbered(std::int64_t n) {
    if (n == std::numeric_limits<std::int64_t>::max()) return "null";
    return std::to_string(n + 100) + " 0 R";
}

TEST(ObjectText, ReferencesAreRenumberedAndNothingElse) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"<< /F1 4 0 R >>", "<< /F1 104 0 R >>"},
        {"<</A 4 0 R/B[5 1 R]>>", "<</A 104 0 R/B[105 0 R]>>"}, // compact; any generation
        {"[1 2 3 0 R]", "[1 2 103 0 R]"},                       // the last two numbers
        {"4 0 R 0 R", "104 0 R 0 R"}, // a number is used by one reference only
        {"(4 0 R) <34203020523e>", "(4 0 R) <34203020523e>"}, // strings
        {"(a\\) 4 0 R) 5 0 R", "(a\\) 4 0 R) 105 0 R"},       // an escaped parenthesis
        {"(a (4 0 R) b)", "(a (4 0 R) b)"},                   // nested parentheses
        {"/4 0 R", "/4 0 R"},                                 // a name is no number
        {"-4 0 R 4.0 0 R", "-4 0 R 4.0 0 R"},                 // signs and fractions
        {"/Kind /octet-stream 6 0 R", "/Kind /octet-stream 106 0 R"},
        {"% 4 0 R\n5 0 R", "% 4 0 R\n105 0 R"}, // a comment to its line's end
        {"99999999999 0 R", "null"},            // past any object number
        {"4 0 Rx", "4 0 Rx"},                   // "R" must be a token of its own
        {"<< /A 4 0 R >> >> 5 0 R", "<< /A 104 0 R >> >> 105 0 R"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RewriteObjectText(c.text, Renumbered), c.expected);
    }
    EXPECT_EQ(pagora::detail::ReferencedNumbers("[4 0 R (5 0 R) 4 0 R 7 1 R]"),
              (std::vector<std::int64_t>{4, 4, 7}));
}

TEST(ObjectText, StringsAreHandedOverDecoded) {
    std::vector<std::string> seen;
    const std::string out =
        RewriteObjectText("<< /T (a\\(b\\)) /U <6364> /V 3 0 R /W (\\101\\102) >>", Renumbered,
                          [&seen](std::string_view bytes) {
                              seen.emplace_back(bytes);
                              return std::string("<>");
                          });
    EXPECT_EQ(out, "<< /T <> /U <> /V 103 0 R /W <> >>");
    EXPECT_EQ(seen, (std::vector<std::string>{"a(b)", "cd", "AB"}));
    // A string without its end is left as written.
    EXPECT_EQ(RewriteObjectText("(open", Renumbered, [](std::string_view) { return "x"; }),
              "(open");
}

TEST(ObjectText, LiteralStringEscapes) {
    struct Case {
        const char* written;
        std::string bytes;
    };
    const Case cases[] = {
        {"(plain)", "plain"},
        {"(a\\nb\\rc\\td\\be\\ff)", "a\nb\rc\td\be\ff"},
        {"(\\(x\\)\\\\)", "(x)\\"},
        {"(\\101\\60\\0053)", std::string("A0\x05") + "3"}, // octal of one to three digits
        {"(a\\\r\nb\\\nc)", "abc"},                         // lines continued
        {"(\\q)", "q"},                                     // any other escape: the character
        {"(a\r\nb\rc\nd)", "a\nb\nc\nd"},                   // line ends as written: LF
        {"()", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(DecodeLiteralString(c.written), c.bytes);
    }
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(StreamFilters, DecodersAndChains) {
    using pagora::detail::DecodeASCII85;
    using pagora::detail::DecodeASCIIHex;
    using pagora::detail::DecodeRunLength;
    EXPECT_EQ(DecodeASCII85(Bytes("87cURD_*#TDfTZ)+T~>")), Bytes("Hello, world!"));
    EXPECT_EQ(DecodeASCII85(Bytes("z@:E^~>")), Bytes(std::string("\0\0\0\0abc", 7)));
    EXPECT_EQ(DecodeASCII85(Bytes("87cUR\n DZ")), Bytes("Hello")); // white space; no end mark
    EXPECT_EQ(DecodeASCIIHex(Bytes("48 65 6c6C6f>")), Bytes("Hello"));
    EXPECT_EQ(DecodeASCIIHex(Bytes("486>")), Bytes("H`")); // an odd last digit
    EXPECT_EQ(DecodeRunLength(Bytes("\x02"
                                    "abc\xFEx\x80zz")),
              Bytes("abcxxx"));
    for (const char* damaged : {"87cU{", "s8W-\"!~>", "8"}) {
        SCOPED_TRACE(damaged);
        EXPECT_THROW(DecodeASCII85(Bytes(damaged)), pagora::PdfError);
    }
    EXPECT_THROW(DecodeASCIIHex(Bytes("4G>")), pagora::PdfError);
    EXPECT_THROW(DecodeRunLength(Bytes("\x05"
                                       "ab")),
                 pagora::PdfError);

    // ASCII85 over Flate, as some producers write content, in either spelling.
    const auto flate_a85 = Bytes("Garg^;/csF!!D$X:]~>");
    EXPECT_EQ(DecodeFilters(flate_a85, "[/ASCII85Decode /FlateDecode]"), Bytes("BT ET"));
    EXPECT_EQ(DecodeFilters(flate_a85, "[/A85 /Fl]"), Bytes("BT ET"));
    // Filters or parameters this reader does not apply: nothing decoded.
    EXPECT_EQ(DecodeFilters(Bytes("x"), "/LZWDecode"), std::nullopt);
    EXPECT_EQ(DecodeFilters(Bytes("x"), "[/AHx /DCTDecode]"), std::nullopt);
    EXPECT_EQ(DecodeFilters(Bytes("x"), "/FlateDecode", "<< /Predictor 12 /Columns 4 >>"),
              std::nullopt);
}

} // namespace
