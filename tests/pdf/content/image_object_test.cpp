#include "pdf/content/image.h"

#include "pdf/writer/writer.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using pagora::detail::ImageCoding;
using pagora::detail::ImageObject;
using pagora::detail::WriteImage;

KERBOLT_TEST_LABEL(oracle, "ImageObjects.*");
class ImageObjects : public writer_test::WriterTest {
protected:
    ImageObjects() { pdf_.BeginDoc(Path()); }

    int Write(ImageCoding coding, std::string samples, std::string palette, int bits,
              std::string key = {}) {
        ImageObject image;
        image.coding = coding;
        image.samples = std::move(samples);
        image.palette = std::move(palette);
        image.width = 2;
        image.height = 1;
        image.bits = bits;
        image.resource_name = "/PIMG_1";
        image.colour_key = std::move(key);
        return WriteImage(Writer(), image);
    }
    // The finished file's object n as qpdf shows it (dictionary and, with raw, the stream data).
    std::string Show(int number, bool raw = false) {
        return Run("qpdf --show-object=" + std::to_string(number) +
                   (raw ? " --raw-stream-data" : "") + " %f")
            .out;
    }
    void Finish() {
        pdf_.EndDoc();
        ExpectValidPdf();
    }
};

TEST_F(ImageObjects, IndexedImageGetsItsPaletteObjectPaddedToTheDeclaredRange) {
    // Four colours at 8 bits declare 256 entries: the 12-byte table is padded to 768 bytes.
    const int number = Write(ImageCoding::kPattern, "\x00\x03", std::string(12, '\x7F'), 8);
    Finish();
    const std::string image = Show(number);
    EXPECT_NE(image.find("/BitsPerComponent 8"), std::string::npos) << image;
    EXPECT_NE(image.find("/Indexed /DeviceRGB 255 " + std::to_string(number + 1) + " 0 R"),
              std::string::npos)
        << image;
    const std::string palette = Show(number + 1, true);
    ASSERT_EQ(palette.size(), 768u);
    EXPECT_EQ(palette.substr(0, 12), std::string(12, '\x7F'));
    EXPECT_EQ(palette.substr(12), std::string(756, '\0'));
}

TEST_F(ImageObjects, OneByteSamplesAndColourKeyMakeACompleteObject) {
    // A 2 x 1 picture of 1 bit has a single sample byte.
    const int number =
        Write(ImageCoding::kBmp, std::string(1, '\x80'), "\xFF\0\0\0\0\xFF", 1, "1 1 ");
    Finish();
    const std::string image = Show(number);
    EXPECT_NE(image.find("/Mask [ 1 1 ]"), std::string::npos) << image;
    EXPECT_NE(image.find("/Indexed /DeviceRGB 1 "), std::string::npos) << image;
    EXPECT_EQ(Show(number, true), std::string(1, '\x80'));
}

TEST_F(ImageObjects, RgbSamplesHaveNoPalette) {
    const int number = Write(ImageCoding::kBmp, std::string(6, '\x10'), {}, 24);
    EXPECT_EQ(Writer().last_object_number, number); // no palette object followed
    Finish();
    const std::string image = Show(number);
    EXPECT_NE(image.find("/ColorSpace /DeviceRGB"), std::string::npos) << image;
    EXPECT_NE(image.find("/BitsPerComponent 8"), std::string::npos) << image;
}

TEST(ReadLittleEndian, ReadsTwoAndFourBytesWithinTheData) {
    using pagora::detail::ReadLittleEndian;
    const std::vector<std::uint8_t> bytes = {0x36, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadLittleEndian(bytes, 0, 4), 54);
    EXPECT_EQ(ReadLittleEndian(bytes, 4, 2), 65535);
    EXPECT_EQ(ReadLittleEndian(bytes, 0, 3), 0);
    const struct {
        std::size_t index;
        int size;
        int error;
    } failures[] = {{4, 4, 6}, {7, 2, 9}, {8, 4, 9}};
    for (const auto& f : failures) {
        try {
            ReadLittleEndian(bytes, f.index, f.size);
            ADD_FAILURE() << "no error at " << f.index;
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), f.error);
        }
    }
}

} // namespace
