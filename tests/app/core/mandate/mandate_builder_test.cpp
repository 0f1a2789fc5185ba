#include "app/core/mandate/mandate_builder.h"

#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"
#include "pdf/writer/Pagora.h"
#include "tests/support/mandate_fakes.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"
#include "tests/support/web_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kerbolt::mandate {
namespace {

using testing_support::RecordingPdfWriter;
using testing_support::RecordingShell;
using testing_support::RunCommand;
using testing_support::TempDir;

// A picture of 3 × 2 pixels, each of its own colour, so that row order, byte order and row
// padding all show.
RgbImage SmallPicture() {
    return {3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90}};
}

KERBOLT_TEST_LABEL(oracle, "MandateLogo.BitmapReadsBackWithAnotherReader");
TEST(MandateLogo, BitmapReadsBackWithAnotherReader) {
    TempDir dir;
    const std::string path = dir.File("LogoMandat.bmp");
    ASSERT_TRUE(SaveBmp24(path, SmallPicture()));
    const std::string bytes = testing_support::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12); // rows of 9 bytes padded to 12
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24); // bits per pixel
    EXPECT_EQ(bytes[30], 0);  // no compression
    EXPECT_EQ(bytes[54], 30); // the bottom row comes first, blue before red
    EXPECT_EQ(bytes[56], 10);

    const auto read = testing_support::InspectFile(path, "picture");
    ASSERT_EQ(read.status, 0);
    EXPECT_EQ(read.out, "BMP RGB (3, 2) [(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), "
                        "(40, 50, 60), (70, 80, 90)] 0\n");
}

TEST(MandateLogo, PicturesThatCannotBeEncoded) {
    RgbImage mismatched = SmallPicture();
    mismatched.rgb.pop_back();
    EXPECT_EQ(EncodeBmp24(mismatched), "");
    EXPECT_EQ(EncodeBmp24({0, 2, {}}), "");
    EXPECT_EQ(EncodeBmp24({-1, -1, {}}), "");
    TempDir dir;
    EXPECT_FALSE(SaveBmp24(dir.File("missing/LogoMandat.bmp"), SmallPicture()));
}

// A signed-in user with contact details and three spots, in folders of a test's own.
class MandateBuild : public ::testing::Test {
protected:
    MandateBuild()
        : state_(testing_support::MandateUser(dir_.Path(), {.Nom = "Jürg Muster",
                                                            .rue = "Bahnhofstrasse",
                                                            .no = "7",
                                                            .npa = "8001",
                                                            .ville = " Zürich "})) {
        state_.Language = 2;
        store::WritePlaces(state_.DataFile,
                           {{"A1", "Seeweg 1", "0"}, {"A2", "", "1"}, {"A3", "Seeweg 3", "2"}});
    }

    MandateResult Build() {
        calls_.clear();
        return BuildMandatePdf(state_, SmallPicture(), shell_, [this] {
            auto writer = std::make_unique<RecordingPdfWriter>(&calls_);
            writer->creates_file = true;
            configure_(*writer);
            return std::unique_ptr<IPdfWriter>(std::move(writer));
        });
    }

    std::string FinalPath() const {
        return web::MandateLocalPath(state_.DataFolder, state_.AccountKey);
    }

    std::vector<std::string> DataFolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(state_.DataFolder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<testing_support::PdfCall> Only(const std::string& op) const {
        std::vector<testing_support::PdfCall> found;
        for (const testing_support::PdfCall& call : calls_)
            if (call.op == op) found.push_back(call);
        return found;
    }

    TempDir dir_;
    store::State state_;
    RecordingShell shell_;
    std::function<void(RecordingPdfWriter&)> configure_ = [](RecordingPdfWriter&) {};
    std::vector<testing_support::PdfCall> calls_; // what the last build's writer was asked to do
};

TEST_F(MandateBuild, WritesTheUsersDocumentUnderATemporaryNameThenOpensIt) {
    const MandateResult result = Build();
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(DataFolderFiles(), (std::vector<std::string>{"000NZFAP", "Mandat_000NZFAP.pdf"}));
    EXPECT_EQ(shell_.calls, std::vector<std::string>{"document " + FinalPath()});
    EXPECT_EQ(Only("BeginDoc").at(0).text, FinalPath() + ".part");

    const std::string logo = PathIn(state_.TempFolder, "LogoMandat.bmp");
    EXPECT_EQ(testing_support::ReadFileBytes(logo), EncodeBmp24(SmallPicture()));
    EXPECT_EQ(Only("DrawImage").at(0).text, logo + "|");
    EXPECT_EQ(Only("DrawImage").at(0).height, 67); // 2 × 100 / 3

    const auto bytes = [](const std::string& utf8) { return pagora::Pagora::FromUtf8(utf8); };
    const std::vector<testing_support::PdfCall> lines = Only("DrawText");
    EXPECT_EQ(lines.at(0).text, bytes("Mandat zur Intervention wegen Parkschadenentschädigung"));
    EXPECT_EQ(lines.at(3).text, bytes("Name / Vorname oder Firmenname:  Jürg Muster"));
    EXPECT_EQ(lines.at(4).text, bytes("Adresse:  Bahnhofstrasse 7, 8001 Zürich"));
    const std::vector<testing_support::PdfCall> boxes = Only("DrawTextBox");
    EXPECT_NE(boxes.at(0).text.find("parken:\r\n- Seeweg 1\r\n- \r\n- Seeweg 3"),
              std::string::npos);
    EXPECT_EQ(boxes.at(5).text.rfind(bytes("Ausgestellt in Zürich, am"), 0), 0u);
}

TEST_F(MandateBuild, FailuresLeaveNoDocumentAndOpenNothing) {
    struct Case {
        const char* name;
        std::function<void(RecordingPdfWriter&)> configure;
        std::string error;
    } cases[] = {
        {"file not created", [](RecordingPdfWriter& pdf) { pdf.begin_error = 75; },
         "Path/File access error - " + FinalPath() + ".part"},
        {"raised while drawing", [](RecordingPdfWriter& pdf) { pdf.box_throws = true; },
         "Device I/O error"},
        {"recorded at the end", [](RecordingPdfWriter& pdf) { pdf.end_error = 61; }, "Disk full"},
    };
    for (const Case& c : cases) {
        configure_ = c.configure;
        const MandateResult result = Build();
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name;
        EXPECT_EQ(DataFolderFiles(), std::vector<std::string>{"000NZFAP"}) << c.name;
        EXPECT_TRUE(shell_.calls.empty()) << c.name;
    }
}

TEST_F(MandateBuild, LogoThatCannotBeSavedStopsTheBuild) {
    std::filesystem::remove_all(state_.TempFolder);
    const MandateResult result = Build();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error,
              "Path/File access error - " + PathIn(state_.TempFolder, "LogoMandat.bmp"));
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(shell_.calls.empty());
}

} // namespace
} // namespace kerbolt::mandate
