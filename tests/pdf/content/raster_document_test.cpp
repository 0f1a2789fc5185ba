// Whole documents with GIF, JPEG and TGA images, checked by independent tools: the rendering of
// every fixture against an independent decoding, the JPEG data passed through unchanged, and
// malformed files that must leave a valid document.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/content/raster_fixture.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;

KERBOLT_TEST_LABEL(oracle, "RasterDocuments.*");
class RasterDocuments : public writer_test::WriterTest {
protected:
    using Files = raster_test::RasterFiles;
    static void SetUpTestSuite() { Files::Make(); }
    static void TearDownTestSuite() { Files::Remove(); }

    bool HasImageObject() { return Bytes().find("/Subtype /Image") != std::string::npos; }
};

TEST_F(RasterDocuments, EachFileRendersPixelForPixelAsAnIndependentDecoderSeesIt) {
    std::vector<std::string> files;
    for (const char* extension : {".gif", ".tga", ".jpg"}) {
        for (const std::string& name : Files::Named(extension)) {
            // The independent decoder widens the screen to a frame reaching past it; CMYK is
            // converted to RGB differently by every renderer (probed below).
            if (name != "edge.gif" && name != "cyan.jpg") files.push_back(name);
        }
    }
    ASSERT_GE(files.size(), 20u);
    pdf_.BeginDoc(Path());
    for (const std::string& name : files) {
        pdf_.BeginPage();
        pdf_.DrawImage(Files::File(name), 0, 0); // one point per pixel, at the top-left corner
        EXPECT_EQ(pdf_.ErrNumber(), 0) << name;
        pdf_.EndPage();
    }
    pdf_.BeginPage();
    pdf_.DrawImage(Files::File("cyan.jpg"), 0, 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string pages = dir_.File("page%d.png");
    const auto drawn = Run("mutool draw -q -A 0 -r 72 -o '" + pages + "' %f 2>&1");
    ASSERT_EQ(drawn.status, 0) << drawn.out;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto compared = RunCommand("/usr/bin/python3 " + Files::Script() + " compare " +
                                         dir_.File("page" + std::to_string(i + 1) + ".png") + " " +
                                         Files::File(files[i]));
        EXPECT_EQ(compared.status, 0);
        EXPECT_EQ(compared.out, "0\n") << files[i] << " has differing pixels";
    }
    // The encoder stores its CMYK samples inverted: without the /Decode ranges that undo it,
    // pure cyan would come out black.
    const auto probe = testing_support::InspectFile(
        dir_.File("page" + std::to_string(files.size() + 1) + ".png"), "pixel", {"4", "4"});
    int red = -1, green = -1, blue = -1;
    ASSERT_EQ(std::sscanf(probe.out.c_str(), "(%d, %d, %d)", &red, &green, &blue), 3) << probe.out;
    EXPECT_LT(red, 80);
    EXPECT_GT(green, 150);
    EXPECT_GT(blue, 150);
}

TEST_F(RasterDocuments, AGifWithoutATransparentIndexIsOpaqueAtEveryDepth) {
    const struct {
        const char* name;
        int width, height;
    } gifs[] = {
        {"two.gif", 13, 7}, {"four.gif", 9, 5}, {"sixteen.gif", 7, 9}, {"thirty.gif", 20, 15}};
    pdf_.BeginDoc(Path());
    for (const auto& gif : gifs) {
        pdf_.BeginPage();
        pdf_.DrawImage(Files::File(gif.name), 0, 0, static_cast<float>(gif.width * 10),
                       static_cast<float>(gif.height * 10));
        pdf_.EndPage();
    }
    pdf_.EndDoc();
    // A second renderer, which applies the colour key to packed indexes too; ten points per
    // pixel keep its smoothing away from the pixels' centres.
    const auto drawn = Run("pdftoppm -r 72 -png %f '" + dir_.File("key") + "' 2>&1");
    ASSERT_EQ(drawn.status, 0) << drawn.out;
    EXPECT_EQ(drawn.out, "");
    for (std::size_t i = 0; i < std::size(gifs); ++i) {
        const auto checked = RunCommand("/usr/bin/python3 " + Files::Script() + " keyed " +
                                        dir_.File("key-" + std::to_string(i + 1) + ".png") + " " +
                                        Files::File(gifs[i].name) + " 10");
        EXPECT_EQ(checked.out, "0\n") << gifs[i].name;
    }
}

TEST_F(RasterDocuments, JpegDataIsEmbeddedUnchangedFromItsStartOfImage) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (const char* name : {"rgb.jpg", "grey.jpg", "cyan.jpg", "junk.jpg"})
        pdf_.DrawImage(Files::File(name), 0, 0, 50);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto images = testing_support::InspectPdf(Path(), "page-images");
    EXPECT_EQ(images.status, 0) << images.out;
    const std::string& listed = images.out;
    const auto size = [&](const char* name) {
        return std::to_string(ReadFileBytes(Files::File(name)).size());
    };
    EXPECT_EQ(listed, "/DCTDecode 24 16 /DeviceRGB 8 [] " + size("rgb.jpg") +
                          " ffd8\n"
                          "/DCTDecode 17 9 /DeviceGray 8 [] " +
                          size("grey.jpg") +
                          " ffd8\n"
                          "/DCTDecode 8 8 /DeviceCMYK 8 [1, 0, 1, 0, 1, 0, 1, 0] " +
                          size("cyan.jpg") +
                          " ffd8\n"
                          "/DCTDecode 24 16 /DeviceRGB 8 [] " +
                          size("rgb.jpg") + " ffd8\n");
    // The junk before the marker is left out: the same bytes as the clean file.
    const std::string raw = Bytes();
    const std::string rgb = ReadFileBytes(Files::File("rgb.jpg"));
    EXPECT_NE(raw.find(rgb), raw.rfind(rgb));
}

TEST_F(RasterDocuments, RecordsAndPlacementsFollowEachFormat) {
    const std::string animation = ReadFileBytes(Files::File("animation.gif"));
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    EXPECT_EQ(pdf_.AddImage("Moving.gif", {animation.begin(), animation.end()}, 2), "Moving.gif");
    pdf_.DrawImage("moving.GIF", 10, 20, 80, 0, 2);           // the registered frame
    pdf_.DrawImage(Files::File("animation.gif"), 10, 20, 80); // frame 1 from the file
    pdf_.DrawImage(Files::File("rgb.tga"), 10, 20, 90, 50);
    pdf_.DrawImage(Files::File("rgb.jpg"), 10, 20, 24, 16);
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    const auto& images = pagora::detail::StateOf(pdf_).content.images.images;
    ASSERT_EQ(images.size(), 4u);
    const struct {
        pagora::detail::ImageKind kind;
        int frame, width, height;
    } expected[] = {
        {pagora::detail::ImageKind::kGif, 2, 8, 6},
        {pagora::detail::ImageKind::kGif, 1, 8, 6},
        {pagora::detail::ImageKind::kTga, 1, 9, 5},
        {pagora::detail::ImageKind::kJpegOrPng, 1, 24, 16},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(images[i].kind, expected[i].kind) << i;
        EXPECT_EQ(images[i].frame, expected[i].frame) << i;
        EXPECT_EQ(images[i].width, expected[i].width) << i;
        EXPECT_EQ(images[i].height, expected[i].height) << i;
    }
    const std::string prefix = pagora::detail::StateOf(pdf_).writer.resource_prefix;
    const std::string& content = pagora::detail::StateOf(pdf_).writer.page_content;
    EXPECT_EQ(content.substr(content.find('q')),
              "q 80 0 0 60 10 20 cm /" + prefix + "IMG_1 Do Q\r" + "q 80 0 0 60 10 20 cm /" +
                  prefix + "IMG_2 Do Q\r" + "q 90 0 0 50 10 20 cm /" + prefix + "IMG_3 Do Q\r" +
                  "q 24 0 0 -16 10 36 cm /" + prefix + "IMG_4 Do Q");
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    // No transparent index, no mask: the background index is a colour like any other.
    EXPECT_EQ(Bytes().find("/Mask"), std::string::npos);
}

TEST_F(RasterDocuments, MalformedAndCutFilesLeaveNoPlacementAndAValidDocument) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    auto& state = pagora::detail::StateOf(pdf_).writer;
    for (const char* extension : {".gif", ".tga", ".jpg"}) {
        for (const std::string& name : Files::Named(extension, true)) {
            state.last_error_number = 0;
            pdf_.DrawImage(Files::File(name), 10, 10, 20, 0);
            // Every file that cannot be placed is reported, those of another format included.
            EXPECT_NE(pdf_.ErrNumber(), 0) << name;
        }
    }
    pdf_.DrawImage(dir_.File("missing.gif"), 0, 0);
    EXPECT_EQ(pdf_.ErrNumber(), 53);
    EXPECT_NE(pdf_.ErrDescription().find("missing.gif"), std::string::npos);
    int cuts = 0;
    // (A JPEG cut after its frame header is embedded as it is: its data is never decoded.)
    for (const char* name : {"interlaced.gif", "rgb_rle.tga"}) {
        const std::string bytes = ReadFileBytes(Files::File(name));
        const std::string extension = std::string(name).substr(std::string(name).size() - 4);
        for (std::size_t length = 0; length < bytes.size(); length += 3, ++cuts) {
            const std::string alias = "cut" + std::to_string(cuts) + extension;
            pdf_.AddImage(alias, std::vector<std::uint8_t>(
                                     bytes.begin(), bytes.begin() + static_cast<long>(length)));
            pdf_.DrawImage(alias, 10, 10, 0, 20, 1, "", true);
        }
    }
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto drawn = Run("mutool draw -q -A 0 -r 72 -o /dev/null %f 2>&1");
    EXPECT_EQ(drawn.status, 0) << drawn.out;
}

TEST_F(RasterDocuments, ATgaMissingPixelsIsReportedAndNotPlaced) {
    const std::string tga = ReadFileBytes(Files::File("rgb_rle.tga"));
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    // Cut inside its run packets: the data could give the picture, but ends early.
    pdf_.AddImage("short.tga", {tga.begin(), tga.begin() + 60});
    EXPECT_EQ(pdf_.ErrNumber(), 9);
    pdf_.DrawImage("short.tga", 0, 0);
    EXPECT_EQ(pagora::detail::StateOf(pdf_).writer.page_content.find(" Do Q"), std::string::npos);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_FALSE(HasImageObject());
}

// GIFs as ImageMagick writes them, placed ten points per pixel and rendered by both renderers:
// the centre of every pixel is the one PIL shows at that frame (its own composition of the
// frames before), transparent pixels the white page. (mutool renders without smoothing at one
// device pixel per picture pixel; poppler smooths, so only the centres are read.)
TEST_F(RasterDocuments, ImageMagickGifsRenderAsPilComposesThem) {
    const std::string convert = "/usr/bin/convert";
    const std::string base = dir_.File("base.png");
    const std::string hole = dir_.File("hole.png");
    const auto made = RunCommand(
        convert +
        " -size 40x30 xc:white -fill red -draw 'rectangle 5,5 20,20' -fill blue "
        "-draw 'circle 30,15 35,20' -fill green -draw 'rectangle 0,24 39,29' '" +
        base + "' && " + convert +
        " -size 12x8 xc:blue -alpha set -fill none -draw 'rectangle 2,2 5,5' '" + hole + "' 2>&1");
    ASSERT_EQ(made.status, 0) << made.out;
    struct Case {
        std::string name;
        std::string options; // what the ImageMagick command makes of base.png
        int frame;
    };
    std::vector<Case> cases;
    for (const int colours : {2, 4, 16}) {
        const std::string n = std::to_string(colours);
        cases.push_back({"c" + n + ".gif", "'" + base + "' -colors " + n, 1});
        cases.push_back({"t" + n + ".gif", "'" + base + "' -colors " + n + " -transparent red", 1});
    }
    cases.push_back({"interlaced.gif", "'" + base + "' -colors 16 -interlace GIF", 1});
    cases.push_back(
        {"interlaced_t.gif", "'" + base + "' -colors 4 -transparent blue -interlace GIF", 1});
    // Three frames: a full first frame, a red square, a blue frame with a transparent hole.
    for (const int disposal : {0, 1, 2, 3}) {
        const std::string d = std::to_string(disposal);
        cases.push_back({"anim" + d + ".gif",
                         "-dispose " + d +
                             " -delay 10 \\( -size 40x30 xc:yellow -fill green -draw "
                             "'rectangle 0,0 8,8' -repage 40x30+0+0 \\) \\( -size 10x10 xc:red "
                             "-repage 40x30+5+5 \\) \\( '" +
                             hole + "' -repage 40x30+3+4 \\) -loop 0",
                         2});
        cases.push_back({"anim" + d + "_3.gif", cases.back().options, 3});
    }
    pdf_.BeginDoc(Path());
    for (const Case& c : cases) {
        const auto gif =
            RunCommand(convert + " " + c.options + " '" + dir_.File(c.name) + "' 2>&1");
        ASSERT_EQ(gif.status, 0) << gif.out;
        pdf_.BeginPage();
        pdf_.DrawImage(dir_.File(c.name), 0, 0, 400, 300, static_cast<std::int16_t>(c.frame));
        EXPECT_EQ(pdf_.ErrNumber(), 0) << c.name;
        pdf_.EndPage();
    }
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto mutool = Run("mutool draw -q -A 0 -r 7.2 -o '" + dir_.File("m%d.png") +
                            "' %f 2>&1 | grep -v 'ICC support'");
    EXPECT_EQ(mutool.out, "");
    const auto poppler = Run("pdftoppm -r 72 -png %f '" + dir_.File("p") + "' 2>&1");
    EXPECT_EQ(poppler.out, "");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string page = std::to_string(i + 1);
        const std::string padded = (cases.size() >= 10 && i + 1 < 10 ? "0" : "") + page;
        for (const auto& [render, scale] : {std::pair{dir_.File("m" + page + ".png"), 1},
                                            {dir_.File("p-" + padded + ".png"), 10}}) {
            const auto compared = testing_support::InspectFile(
                render, "gif-frame-differences",
                {dir_.File(cases[i].name), std::to_string(cases[i].frame), std::to_string(scale)});
            EXPECT_EQ(compared.out, "0\n")
                << cases[i].name << " frame " << cases[i].frame << " in " << render;
        }
    }
}

// Bombs (a few bytes claiming a huge picture), damaged and cut data, and refused forms: each is
// reported with its error number, and the finished document holds no image object and reads
// and renders without a complaint.
TEST_F(RasterDocuments, BombsDamagedDataAndRefusedFormsAreReportedAndNeverEmbedded) {
    const auto le16 = [](unsigned v) { return std::string{char(v & 255), char(v >> 8)}; };
    const auto le32 = [&](unsigned v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    // A 16000 x 8000 screen painted by one code byte.
    const std::string gif_bomb = "GIF89a" + le16(16000) + le16(8000) + std::string("\x80\0\0", 3) +
                                 std::string(6, '\xff') + "\x2c" + le16(0) + le16(0) + le16(1) +
                                 le16(1) + std::string("\0\x02\x01\x44\0\x3b", 6);
    const std::string gif_wide = "GIF89a" + le16(20000) + le16(1) + std::string("\x80\0\0", 3) +
                                 std::string(6, '\xff') + "\x2c" + std::string(8, '\0') +
                                 std::string("\0\x02\x01\x44\0\x3b", 6);
    // 9000 x 9000 run-length pixels from one packet.
    std::string tga_bomb(18, '\0');
    tga_bomb[2] = 10;
    tga_bomb.replace(12, 4, le16(9000) + le16(9000));
    tga_bomb[16] = 24;
    tga_bomb += std::string("\xff\x01\x02\x03", 4);
    std::string tga_wide = tga_bomb;
    tga_wide[2] = 2;
    tga_wide.replace(12, 4, le16(16385) + le16(1));
    // 4096 x 4096 run-length indexes whose data is an end-of-picture code.
    std::string bmp_bomb = "BM" + le32(0) + le32(0) + le32(62) + le32(40) + le32(4096) +
                           le32(4096) + le16(1) + le16(8) + le32(1) + le32(2) + le32(0) + le32(0) +
                           le32(2) + le32(0) + std::string(8, '\x7f') + std::string("\0\x01", 2);
    // PIL and ImageMagick make the well-formed sources the damaged and refused files start from.
    const std::string made = dir_.File("made");
    std::filesystem::create_directories(made);
    const auto sources = testing_support::InspectFile(made, "make-picture-sources");
    ASSERT_EQ(sources.status, 0) << sources.out;
    const auto make = RunCommand("cd '" + made +
                                 "' && /usr/bin/convert ok.png -interlace PNG interlaced.png && "
                                 "/usr/bin/convert ok.png BMP2:os2.bmp && "
                                 "/usr/bin/convert ok.png -define bmp:subtype=RGB565 fields.bmp && "
                                 "/usr/bin/convert ok.png -type Grayscale -depth 8 grey.tga 2>&1");
    ASSERT_EQ(make.status, 0) << make.out;
    const auto file = [&](const std::string& name) { return ReadFileBytes(made + "/" + name); };
    const std::string ok_png = file("ok.png");
    std::string crc_png = ok_png;
    crc_png[crc_png.size() - 13] ^= 1; // the last byte of the last image data chunk's checksum
    const std::string ok_jpg = file("ok.jpg");

    const struct {
        std::string alias;
        std::string bytes;
        int error;
    } cases[] = {
        {"bomb.gif", gif_bomb, 7},
        {"wide.gif", gif_wide, 7},
        {"bomb.tga", tga_bomb, 7},
        {"wide.tga", tga_wide, 7},
        {"bomb.bmp", bmp_bomb, 7},
        {"crc.png", crc_png, 9},
        {"cut.png", ok_png.substr(0, ok_png.size() - 30), 9},
        {"cut.jpg", ok_jpg.substr(0, ok_jpg.size() - 40), 9},
        {"alpha.png", file("alpha.png"), 5},
        {"deep.png", file("deep.png"), 5},
        {"interlaced.png", file("interlaced.png"), 5},
        {"os2.bmp", file("os2.bmp"), 5},
        {"fields.bmp", file("fields.bmp"), 5},
        {"grey.tga", file("grey.tga"), 5},
    };
    EXPECT_LE(gif_bomb.size(), 35u); // a few bytes each
    EXPECT_LE(tga_bomb.size(), 22u);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (const auto& c : cases) {
        pagora::detail::StateOf(pdf_).writer.last_error_number = 0;
        pdf_.AddImage(c.alias, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        EXPECT_EQ(pdf_.ErrNumber(), c.error) << c.alias;
        pdf_.DrawImage(c.alias, 10, 10);
    }
    EXPECT_EQ(pagora::detail::StateOf(pdf_).writer.page_content.find(" Do "), std::string::npos);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_FALSE(HasImageObject());
    EXPECT_LT(ReadFileBytes(Path()).size(), 4000u);
    const auto mutool = Run("mutool draw -q -o /dev/null %f 2>&1 | grep -v 'ICC support'");
    EXPECT_EQ(mutool.out, "");
    const auto poppler = Run("pdftoppm -r 36 %f '" + dir_.File("bombs") + "' 2>&1");
    EXPECT_EQ(poppler.out, "");
}

} // namespace
