#include "app/ui/mandate_action.h"

#include "app/core/web/data_transfers.h"
#include "app/ui/ticket_painter.h"
#include "tests/support/fake_ports.h"
#include "tests/support/mandate_fakes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/web_fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace kerbolt::ui {
namespace {

using testing_support::RecordingPdfWriter;
using testing_support::RecordingPrompts;
using testing_support::RecordingShell;

TEST(MandateLogoPixels, TransparencyBecomesWhiteAndRowsLoseTheirPadding) {
    // Three pixels a row: Qt pads each 9-byte row to 12 bytes.
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixelColor(0, 0, QColor(255, 0, 0));
    picture.setPixelColor(2, 1, QColor(0, 0, 255));
    const modMandat::RgbImage pixels = MandateLogoPixels(picture);
    ASSERT_EQ(pixels.width, 3);
    ASSERT_EQ(pixels.height, 2);
    EXPECT_EQ(pixels.rgb, (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255, 255, 255, 255, 255,
                                                     255, 255, 255, 255, 255, 0, 0, 255}));
    EXPECT_TRUE(MandateLogoPixels(QImage()).empty());
}

TEST(MandateLogoPixels, TheShippedLogoKeepsItsSizeAndColours) {
    const QImage logo = TicketLogo();
    const modMandat::RgbImage pixels = MandateLogoPixels(logo);
    ASSERT_EQ(pixels.width, logo.width());
    ASSERT_EQ(pixels.height, logo.height());
    for (int y = 0; y < logo.height(); y += 37)
        for (int x = 0; x < logo.width(); x += 41) {
            const QColor colour = logo.pixelColor(x, y);
            const std::size_t at = (static_cast<std::size_t>(y) * logo.width() + x) * 3;
            ASSERT_EQ(pixels.rgb[at], colour.red()) << x << "," << y;
            ASSERT_EQ(pixels.rgb[at + 2], colour.blue()) << x << "," << y;
        }
}

class MandateAction : public ::testing::Test {
protected:
    MandateAction() {
        state_.DataFolder = dir_.Path().string();
        state_.TempFolder = dir_.Path().string();
        state_.AccountKey = "000NZFAP";
        state_.DataFile = dir_.File("000NZFAP");
        state_.Language = 1;
    }

    bool Click(const std::function<void(RecordingPdfWriter&)>& configure) {
        return BuildMandateDocument(state_, TicketLogo(), shell_, prompts_, [&] {
            auto writer = std::make_unique<RecordingPdfWriter>();
            writer->creates_file = true;
            configure(*writer);
            return std::unique_ptr<modMandat::IPdfWriter>(std::move(writer));
        });
    }

    testing_support::TempDir dir_;
    Module1::State state_;
    RecordingShell shell_;
    RecordingPrompts prompts_;
};

TEST_F(MandateAction, SuccessOpensTheDocumentWithoutAMessage) {
    EXPECT_TRUE(Click([](RecordingPdfWriter&) {}));
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(shell_.calls,
              std::vector<std::string>{
                  "document " + modUpload::MandateLocalPath(state_.DataFolder, state_.AccountKey)});
}

TEST_F(MandateAction, FailuresShowTheirDescription) {
    EXPECT_FALSE(Click([](RecordingPdfWriter& pdf) { pdf.begin_error = 75; }));
    EXPECT_FALSE(Click([](RecordingPdfWriter& pdf) { pdf.box_throws = true; }));
    EXPECT_FALSE(BuildMandateDocument(state_, TicketLogo(), shell_, prompts_,
                                      []() -> std::unique_ptr<modMandat::IPdfWriter> {
                                          throw std::runtime_error("Out of memory");
                                      }));
    const std::string part = dir_.File("Mandat_000NZFAP.pdf.part");
    EXPECT_EQ(prompts_.shown, (std::vector<std::string>{"Path/File access error - " + part,
                                                        "Device I/O error", "Out of memory"}));
    EXPECT_EQ(prompts_.icons, std::vector<MessageIcon>(3, MessageIcon::Critical));
    EXPECT_TRUE(shell_.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(part));
}

} // namespace
} // namespace kerbolt::ui
