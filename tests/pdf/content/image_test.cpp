#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/content/bmp_builder.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using bmp_test::Bitmap24;
using bmp_test::Bitmap8;

// A page being drawn into a file, its content read back line by line.
KERBOLT_TEST_LABEL(oracle, "Images.*");
class Images : public writer_test::WriterTest {
protected:
    Images() {
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
        Writer().resource_prefix = "P";
    }
    // The content lines written since the last call.
    std::vector<std::string> Written() {
        const std::string& text = Writer().page_content;
        std::vector<std::string> lines;
        std::size_t start = seen_;
        while (start < text.size()) {
            const std::size_t end = text.find('\r', start + 1);
            lines.push_back(text.substr(start + 1, end == std::string::npos ? std::string::npos
                                                                            : end - start - 1));
            start = end == std::string::npos ? text.size() : end;
        }
        seen_ = text.size();
        return lines;
    }
    std::string Placed(const std::string& name, float width, float height, bool ratio = false) {
        pdf_.DrawImage(name, 10, 20, width, height, 1, "", ratio);
        const auto lines = Written();
        return lines.size() == 1 ? lines[0] : "(" + std::to_string(lines.size()) + " lines)";
    }
    void Finish() {
        pdf_.EndPage();
        pdf_.EndDoc();
        ExpectValidPdf();
    }
    int Objects() { return Writer().last_object_number; }

private:
    std::size_t seen_ = 0;
};

TEST_F(Images, SizesFollowTheImageOrTheBox) {
    ASSERT_EQ(pdf_.AddImage("wide.bmp", Bitmap24(300, 150)), "wide.bmp");
    ASSERT_EQ(pdf_.AddImage("tall.bmp", Bitmap24(150, 300)), "tall.bmp");
    const struct {
        const char* name;
        float width, height;
        bool ratio;
        const char* line;
    } cases[] = {
        {"wide.bmp", 0, 0, false, "q 300 0 0 150 10 20 cm /PIMG_1 Do Q"},
        {"wide.bmp", 100, 0, false, "q 100 0 0 50 10 20 cm /PIMG_1 Do Q"},
        {"wide.bmp", 0, 50, false, "q 100 0 0 50 10 20 cm /PIMG_1 Do Q"},
        {"wide.bmp", 100, 100, true, "q 100 0 0 50 10 20 cm /PIMG_1 Do Q"},
        {"wide.bmp", 100, 100, false, "q 100 0 0 100 10 20 cm /PIMG_1 Do Q"},
        {"tall.bmp", 100, 100, true, "q 50 0 0 100 10 20 cm /PIMG_2 Do Q"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Placed(c.name, c.width, c.height, c.ratio), c.line);
    }
    // The last box is in points of the page, y upwards.
    pdf_.DrawImage("wide.bmp", 10, 20, 100, 50);
    const auto& content = pagora::detail::StateOf(pdf_).content;
    EXPECT_FLOAT_EQ(content.kept.last_box_x1, 10);
    EXPECT_FLOAT_EQ(content.kept.last_box_y1, 822);
    EXPECT_FLOAT_EQ(content.kept.last_box_x2, 110);
    EXPECT_FLOAT_EQ(content.kept.last_box_y2, 772);

    // In millimetres the natural size still covers one point per pixel.
    pdf_.SetScale(2);
    pdf_.DrawImage("wide.bmp", 0, 0);
    EXPECT_NEAR(content.kept.last_box_x2 - content.kept.last_box_x1, 300, 1e-3);
    EXPECT_NEAR(content.kept.last_box_y1 - content.kept.last_box_y2, 150, 1e-3);
    Finish();
}

TEST_F(Images, RawSamplesArePlacedTopDown) {
    const std::vector<std::uint8_t> samples(2 * 3 * 2, 0x80);
    pdf_.AddImagePattern("raw", 2, 2, samples, {});
    EXPECT_EQ(Placed("RAW", 100, 50), "q 100 0 0 -50 10 70 cm /PIMG_1 Do Q");
    EXPECT_THROW(pdf_.AddImagePattern("empty", 0, 2, samples, {}), pagora::PdfError);
    Finish();
}

TEST_F(Images, AFileIsReadOnceAndKeyedByItsNameAsTheFileSystemComparesIt) {
    const std::string logo = dir_.File("logo.bmp");
    testing_support::WriteFileBytes(logo, bmp_test::AsText(Bitmap24(4, 2)));
    pdf_.DrawImage(logo, 0, 0);
    const int after_first = Objects();
    pdf_.DrawImage(logo, 5, 5, 0, 0, 1, "Red"); // another mask does not read it again
    EXPECT_EQ(Objects(), after_first);
    const auto lines = Written();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("/PIMG_1 Do"), std::string::npos);
    EXPECT_EQ(Writer().xobject_resources, "/PIMG_1 " + std::to_string(after_first) + " 0 R ");

    // Another file whose name differs in letter case only is another picture here.
    std::string upper = logo;
    upper.replace(upper.size() - 8, 8, "LOGO.BMP");
    testing_support::WriteFileBytes(upper, bmp_test::AsText(Bitmap24(3, 7)));
    EXPECT_EQ(Placed(upper, 0, 0), "q 3 0 0 7 10 20 cm /PIMG_2 Do Q");
    EXPECT_EQ(Placed(logo, 0, 0), "q 4 0 0 2 10 20 cm /PIMG_1 Do Q");

    // An alias is found whatever the letter case, without any file.
    pdf_.AddImage("Logo2.bmp", Bitmap24(1, 1));
    EXPECT_EQ(Placed("logo2.BMP", 0, 0), "q 1 0 0 1 10 20 cm /PIMG_3 Do Q");
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    Finish();
}

TEST_F(Images, AnImageThatCannotBeReadIsNotPlaced) {
    const std::string zip = dir_.File("archive.bmp");
    testing_support::WriteFileBytes(zip, "PK\x03\x04" + std::string(60, '\0'));
    const struct {
        std::string name;
        int error;
    } cases[] = {
        {dir_.File("missing.bmp"), 53},
        {zip, 53},
        {dir_.File("photo.jpeg"), 5}, // no reader for the extension
    };
    for (const auto& c : cases) {
        Writer().last_error_number = 0;
        const int objects = Objects();
        pdf_.DrawImage(c.name, 7, 9, 100, 0); // one size 0 would need the image's ratio
        EXPECT_EQ(pdf_.ErrNumber(), c.error) << c.name;
        EXPECT_EQ(pdf_.ErrSource(), "Pagora.DrawImage");
        EXPECT_NE(pdf_.ErrDescription().find(" - " + c.name), std::string::npos);
        EXPECT_TRUE(Written().empty()) << c.name;
        EXPECT_EQ(Objects(), objects);
        EXPECT_FLOAT_EQ(pdf_.GetX(), 7);
        EXPECT_FLOAT_EQ(pdf_.GetY(), 9);
    }
    // The failed record stays: the file is not tried again, nothing is placed.
    Writer().last_error_number = 0;
    pdf_.DrawImage(zip, 0, 0);
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    EXPECT_TRUE(Written().empty());

    // An alias without a reader still takes a record; the next image gets the following index.
    const auto& records = pagora::detail::StateOf(pdf_).content.images.images;
    const auto count = records.size();
    EXPECT_EQ(pdf_.AddImage("scan.tif", Bitmap24(1, 1)), "");
    EXPECT_EQ(records.size(), count + 1);
    pdf_.AddImage("next.bmp", Bitmap24(1, 1));
    EXPECT_NE(Placed("NEXT.BMP", 0, 0).find("/PIMG_" + std::to_string(count + 2) + " Do"),
              std::string::npos);
    EXPECT_TRUE(Writer().xobject_resources.find("IMG_" + std::to_string(count + 1) + " ") ==
                std::string::npos);
    Finish();
}

TEST_F(Images, PalettesAndColourKeys) {
    const struct {
        std::vector<std::uint8_t> palette;
        std::string mask;
        const char* expected;
    } cases[] = {
        {std::vector<std::uint8_t>(6, 0), "",
         "/BitsPerComponent 1 /ColorSpace [/Indexed /DeviceRGB 1 "},
        {std::vector<std::uint8_t>(48, 0), "",
         "/BitsPerComponent 4 /ColorSpace [/Indexed /DeviceRGB 15 "},
        {std::vector<std::uint8_t>(12, 0), "",
         "/BitsPerComponent 8 /ColorSpace [/Indexed /DeviceRGB 255 "},
        {{}, "", "/BitsPerComponent 8 /ColorSpace /DeviceRGB"},
        {{}, "Magenta", "/Mask [255 255 0 0 255 255 ]"},
        {{0, 0, 0, 0, 0, 0, 255, 0, 0, 9, 9, 9, 1, 1, 1, 2, 2, 2, 3, 3, 3, 255, 0, 0},
         "#FF0000",
         "/Mask [7 7 ]"},
    };
    for (const auto& c : cases) {
        pdf_.AddImagePattern("p", 1, 1, {0, 0, 0}, c.palette, c.mask);
    }
    // A bitmap's key comes from its palette or, for RGB, from the colour itself.
    pdf_.AddImage("white.bmp", Bitmap24(2, 2), 1, "WHITE");
    pdf_.AddImage("pal.bmp", Bitmap8(2, 2, {{255, 255, 255}, {1, 2, 3}, {255, 255, 255}}), 1,
                  "WHITE");
    Finish();
    const std::string file = Bytes();
    for (const auto& c : cases) {
        EXPECT_NE(file.find(c.expected), std::string::npos) << c.expected;
    }
    EXPECT_NE(file.find("/Mask [255 255 255 255 255 255 ]"), std::string::npos);
    EXPECT_NE(file.find("/Mask [2 2 ]"), std::string::npos);
}

} // namespace
