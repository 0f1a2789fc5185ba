#include "app/ui/mandate_action.h"

#include "app/core/mandate/mandate_pagora_writer.h"
#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/ticket_painter.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fixed_host.h"
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
using testing_support::RunCommand;

TEST(MandateLogoPixels, TransparencyBecomesWhiteAndRowsLoseTheirPadding) {
    // Three pixels a row: Qt pads each 9-byte row to 12 bytes.
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixelColor(0, 0, QColor(255, 0, 0));
    picture.setPixelColor(2, 1, QColor(0, 0, 255));
    const mandate::RgbImage pixels = MandateLogoPixels(picture);
    ASSERT_EQ(pixels.width, 3);
    ASSERT_EQ(pixels.height, 2);
    EXPECT_EQ(pixels.rgb, (std::vector<std::uint8_t>{255, 0, 0, 255, 255, 255, 255, 255, 255, 255,
                                                     255, 255, 255, 255, 255, 0, 0, 255}));
    EXPECT_TRUE(MandateLogoPixels(QImage()).empty());
}

TEST(MandateLogoPixels, TheShippedLogoKeepsItsSizeAndColours) {
    const QImage logo = TicketLogo();
    const mandate::RgbImage pixels = MandateLogoPixels(logo);
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
            return std::unique_ptr<mandate::IPdfWriter>(std::move(writer));
        });
    }

    testing_support::TempDir dir_;
    store::State state_;
    RecordingShell shell_;
    RecordingPrompts prompts_;
};

TEST_F(MandateAction, SuccessOpensTheDocumentWithoutAMessage) {
    EXPECT_TRUE(Click([](RecordingPdfWriter&) {}));
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(shell_.calls,
              std::vector<std::string>{
                  "document " + web::MandateLocalPath(state_.DataFolder, state_.AccountKey)});
}

TEST_F(MandateAction, FailuresShowTheirDescription) {
    EXPECT_FALSE(Click([](RecordingPdfWriter& pdf) { pdf.begin_error = 75; }));
    EXPECT_FALSE(Click([](RecordingPdfWriter& pdf) { pdf.box_throws = true; }));
    EXPECT_FALSE(BuildMandateDocument(state_, TicketLogo(), shell_, prompts_,
                                      []() -> std::unique_ptr<mandate::IPdfWriter> {
                                          throw std::runtime_error("Out of memory");
                                      }));
    const std::string part = dir_.File("Mandat_000NZFAP.pdf.part");
    EXPECT_EQ(prompts_.shown, (std::vector<std::string>{"Path/File access error - " + part,
                                                        "Device I/O error", "Out of memory"}));
    EXPECT_EQ(prompts_.icons, std::vector<MessageIcon>(3, MessageIcon::Critical));
    EXPECT_TRUE(shell_.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(part));
}

TEST_F(MandateAction, TheShippedLogoKeepsTheDocumentSmallAndItsTextAsItWas) {
    ASSERT_TRUE(store::WriteAccount(state_.DataFile, "a@b.ch", "secret1"));
    ASSERT_TRUE(
        store::WritePlaces(state_.DataFile, {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"},
                                             {"B2", "Chemin des Prés 2, 1000 Lausanne", "1"}}));
    const std::string path = web::MandateLocalPath(state_.DataFolder, state_.AccountKey);
    // The same document stored as it is, for the text it must keep.
    ASSERT_TRUE(BuildMandateDocument(
        state_, TicketLogo(), shell_, prompts_,
        mandate::PagoraWriterFactory(testing_support::MakeFixedHost(), false)));
    const std::string plain = dir_.File("plain.pdf");
    std::filesystem::rename(path, plain);
    ASSERT_TRUE(
        BuildMandateDocument(state_, TicketLogo(), shell_, prompts_,
                             mandate::PagoraWriterFactory(testing_support::MakeFixedHost())));
    EXPECT_TRUE(prompts_.shown.empty());

    // The logo's pixels alone are 1295 x 632 x 3 bytes.
    EXPECT_GT(std::filesystem::file_size(plain), 2'000'000u);
    EXPECT_LT(std::filesystem::file_size(path), 200u * 1024u);
    EXPECT_EQ(RunCommand("qpdf --check '" + path + "'").status, 0);
    const auto text = RunCommand("pdftotext -enc UTF-8 '" + path + "' -");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Chemin des Prés 2, 1000 Lausanne"), std::string::npos) << text.out;
    EXPECT_EQ(text.out, RunCommand("pdftotext -enc UTF-8 '" + plain + "' -").out);
    // Still the whole logo, drawn from the same pixels.
    const std::string page = dir_.File("page");
    const std::string plain_page = dir_.File("plain-page");
    ASSERT_EQ(RunCommand("pdftoppm -r 50 -png -singlefile '" + path + "' " + page).status, 0);
    ASSERT_EQ(RunCommand("pdftoppm -r 50 -png -singlefile '" + plain + "' " + plain_page).status,
              0);
    EXPECT_EQ(QImage(QString::fromStdString(page + ".png")),
              QImage(QString::fromStdString(plain_page + ".png")));
}

} // namespace
} // namespace kerbolt::ui
