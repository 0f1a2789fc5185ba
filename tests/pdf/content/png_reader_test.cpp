#include "pdf/content/png_reader.h"

#include "tests/pdf/content/raster_fixture.h"
#include "tests/support/png_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

using pagora::detail::PngResult;
using pagora::detail::ReadPng;
using pagora::detail::ReadPngFile;
using Bytes = std::vector<std::uint8_t>;

// The fixture files, made once for all tests of this file.
KERBOLT_TEST_LABEL(oracle, "PngFixtures.*");
class PngFixtures : public raster_test::ScriptFixtures<raster_test::kPngScript> {
protected:
    using Bytes = std::vector<std::uint8_t>;
    // A file's bytes, as the reader takes them.
    static Bytes File(const std::string& name) {
        const std::string bytes = raster_test::PngFiles::Bytes(name);
        return Bytes(bytes.begin(), bytes.end());
    }
    // The well-formed files, or those whose name starts with the prefix.
    static std::vector<std::string> Names(const std::string& prefix) {
        return prefix.empty() ? WellFormed() : Prefixed(prefix);
    }
};

// zlib's decoding of the gathered data: the rows as an independent decoder sees them.
std::size_t ZlibRowBytes(const std::string& data) {
    Bytes out(1 << 20);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(data.data()),
                   static_cast<uLong>(data.size())) != Z_OK)
        return 0;
    return size;
}

TEST_F(PngFixtures, EveryAcceptedFormKeepsItsCompressedRowsAndDescribesThem) {
    struct Expected {
        int bits;
        bool indexed;
        const char* space;
        const char* key;
    };
    const std::map<std::string, Expected> expected = {
        {"grey1.png", {1, false, "DeviceGray", ""}},
        {"grey2.png", {2, false, "DeviceGray", ""}},
        {"grey4.png", {4, false, "DeviceGray", ""}},
        {"grey8.png", {8, false, "DeviceGray", ""}},
        {"indexed1.png", {1, true, "DeviceGray", ""}},
        {"indexed8.png", {8, true, "DeviceGray", ""}},
        {"rgb8.png", {8, false, "DeviceRGB", ""}},
        {"grey_key.png", {8, false, "DeviceGray", "255 255 "}},
        {"rgb_key.png", {8, false, "DeviceRGB", "16 16 32 32 48 48 "}},
        {"indexed_key.png", {8, true, "DeviceGray", "1 2"}},
        {"indexed_key_used.png", {8, true, "DeviceGray", "37 37"}},
        {"indexed_partial_alpha.png", {4, true, "DeviceGray", ""}},
        {"rgb_suggested_palette.png", {8, false, "DeviceRGB", ""}},
        {"pil_indexed2.png", {2, true, "DeviceGray", ""}},
    };
    const std::vector<std::string> names = Names("");
    ASSERT_GE(names.size(), 20u);
    for (const std::string& name : names) {
        const PngResult png = ReadPng(File(name));
        ASSERT_EQ(png.error, 0) << name;
        ASSERT_TRUE(png.accepted) << name;
        EXPECT_GT(ZlibRowBytes(png.data), 0u) << name << ": the gathered data is no zlib stream";
        EXPECT_EQ(png.palette.empty(), !png.indexed) << name;
        const auto it = expected.find(name);
        if (it == expected.end()) continue;
        EXPECT_EQ(png.bits, it->second.bits) << name;
        EXPECT_EQ(png.indexed, it->second.indexed) << name;
        EXPECT_EQ(png.colour_space, it->second.space) << name;
        EXPECT_EQ(png.colour_key, it->second.key) << name;
    }
    // Three image data chunks joined in file order give the one zlib stream of 30 rows of 1 +
    // 40 × 3 bytes.
    const PngResult split = ReadPng(File("split_idat.png"));
    EXPECT_EQ(ZlibRowBytes(split.data), 30u * 121u);
    EXPECT_EQ(split.width, 40);
    EXPECT_EQ(split.height, 30);
}

// The reader tells these forms apart from damage; the registry records them as error 5.
TEST_F(PngFixtures, FormsThePassThroughCannotExpressAreRefused) {
    const std::vector<std::string> names = Names("refused_");
    ASSERT_EQ(names.size(), 6u);
    for (const std::string& name : names) {
        const PngResult png = ReadPng(File(name));
        EXPECT_EQ(png.error, 0) << name;
        EXPECT_FALSE(png.accepted) << name;
        EXPECT_TRUE(png.data.empty()) << name;
    }
}

TEST_F(PngFixtures, MalformedFilesAreRefusedWithTheMatchingError) {
    const std::map<std::string, int> errors = {
        {"bad_indexed_without_palette.png", 5},
        {"bad_no_image_data.png", 5},
        {"bad_zero_width.png", 6},
        {"bad_huge.png", 7},
        {"bad_rows_too_short.png", 9},
        {"bad_row_filter.png", 9},
        {"bad_zlib_header.png", 9},
        {"bad_chunk_length.png", 9},
        {"bad_chunk_crc.png", 9},
        {"bad_zlib_checksum.png", 9},
        {"bad_too_wide.png", 7},
        {"bad_bomb.png", 7},
    };
    EXPECT_EQ(Names("bad_").size(), errors.size());
    for (const auto& [name, error] : errors) {
        const PngResult png = ReadPng(File(name));
        EXPECT_EQ(png.error, error) << name;
        EXPECT_FALSE(png.accepted) << name;
        EXPECT_TRUE(png.data.empty() && png.palette.empty()) << name;
    }
}

// Gathering the image data inside the file's own buffer must not change what is read, whether
// the picture is accepted, refused or damaged, and whatever its number of data chunks.
TEST_F(PngFixtures, ReadingFromTheFilesOwnBufferGivesTheSameResult) {
    std::size_t files = 0;
    for (const std::string& name : All()) {
        const Bytes bytes = File(name);
        const PngResult from_span = ReadPng(bytes);
        const PngResult from_file = ReadPngFile(std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(from_file.error, from_span.error) << name;
        EXPECT_EQ(from_file.accepted, from_span.accepted) << name;
        EXPECT_EQ(from_file.width, from_span.width) << name;
        EXPECT_EQ(from_file.height, from_span.height) << name;
        EXPECT_EQ(from_file.bits, from_span.bits) << name;
        EXPECT_EQ(from_file.indexed, from_span.indexed) << name;
        EXPECT_EQ(from_file.colour_space, from_span.colour_space) << name;
        EXPECT_EQ(from_file.palette, from_span.palette) << name;
        EXPECT_EQ(from_file.colour_key, from_span.colour_key) << name;
        EXPECT_TRUE(from_file.data == from_span.data) << name;
        ++files;
    }
    EXPECT_GE(files, 30u);
}

TEST_F(PngFixtures, AFileCutBeforeTheEndOfItsImageDataIsRefused) {
    for (const std::string& name : {"rgb8.png", "indexed_key.png", "split_idat.png"}) {
        const Bytes whole = File(name);
        // Past the last image data byte come its CRC and the end chunk only.
        const std::size_t needed = whole.size() - 16;
        // From a whole signature on: a part of one is no PNG at all (and refused silently).
        for (std::size_t length = 8; length < whole.size(); ++length) {
            const PngResult png = ReadPng({whole.data(), length});
            if (length < needed) {
                EXPECT_FALSE(png.accepted) << name << " cut at " << length;
                EXPECT_NE(png.error, 0) << name << " cut at " << length;
            } else if (png.accepted) {
                EXPECT_EQ(png.data, ReadPng(whole).data) << name << " cut at " << length;
            }
        }
    }
}

Bytes GreyPng(std::uint32_t width, std::uint32_t height, const Bytes& rows) {
    return testing_support::PngFile(width, height, 0, rows);
}

TEST(PngReader, LargePicturesAreCheckedRowByRowWhileTheyDecode) {
    // About 2 MB of rows: the decoder hands them on in several pieces, so row starts fall at
    // every offset within a piece and on both sides of the hand-overs.
    constexpr std::uint32_t kWidth = 1999;
    constexpr std::uint32_t kRows = 1001;
    constexpr std::size_t kHeight = kRows;
    constexpr std::size_t kStride = kWidth + 1;
    Bytes rows(kStride * kHeight);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i % kStride == 0 ? static_cast<std::uint8_t>(i / kStride % 5)
                                   : static_cast<std::uint8_t>(i * 7 / 3);
    const PngResult good = ReadPng(GreyPng(kWidth, kRows, rows));
    ASSERT_TRUE(good.accepted);
    Bytes decoded(rows.size() + 1);
    uLongf size = static_cast<uLongf>(decoded.size());
    ASSERT_EQ(uncompress(decoded.data(), &size, reinterpret_cast<const Bytef*>(good.data.data()),
                         static_cast<uLong>(good.data.size())),
              Z_OK);
    decoded.resize(size);
    EXPECT_TRUE(decoded == rows) << "the compressed rows are kept as they are";

    for (std::size_t row : {std::size_t{0}, std::size_t{131}, std::size_t{500}, kHeight - 1}) {
        Bytes bad = rows;
        bad[row * kStride] = 5;
        const PngResult png = ReadPng(GreyPng(kWidth, kRows, bad));
        EXPECT_EQ(png.error, 9) << "row " << row;
        EXPECT_FALSE(png.accepted) << "row " << row;
    }
    // A byte short of the declared rows is refused; bytes beyond them are allowed.
    Bytes short_rows(rows.begin(), rows.end() - 1);
    EXPECT_EQ(ReadPng(GreyPng(kWidth, kRows, short_rows)).error, 9);
    Bytes long_rows = rows;
    long_rows.insert(long_rows.end(), 3 * kStride, 9);
    EXPECT_TRUE(ReadPng(GreyPng(kWidth, kRows, long_rows)).accepted);
}

TEST(PngReader, TinyInputs) {
    EXPECT_EQ(ReadPng({}).error, 53);
    const Bytes one = {137};
    EXPECT_EQ(ReadPng(one).error, 53);
    const Bytes other = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    EXPECT_EQ(ReadPng(other).error, 0); // not a PNG: refused silently
    EXPECT_FALSE(ReadPng(other).accepted);
    const Bytes signature_only = {137, 80, 78, 71, 13, 10, 26, 10};
    EXPECT_EQ(ReadPng(signature_only).error, 9);
}

} // namespace
