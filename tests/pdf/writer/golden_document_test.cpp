// Whole documents compared byte for byte with files written by the Linux build with the same
// fixed clock and resource prefix: the Windows build must write the very same bytes, and so must
// a process whose locale writes numbers with a decimal comma.
#include "pdf/writer/Pagora.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using pagora::Pagora;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

struct Golden {
    const char* file;
    bool protect;
};

// Text in two charsets, fractional lengths in every operator kind, a text box that wraps,
// raw image samples, a bar code and a bookmark; deflate on every stream, and RC4 when protected.
void WriteDocument(const std::string& path, bool protect) {
    Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetScale(2); // millimetres: every length goes through the scale factor
    pdf.SetCompression(2, 2, 2);
    if (protect) pdf.SetProtection(0x1000 | 0x4, "owner", "user");
    pdf.SetDocProperty(Pagora::FromUtf8("Quittance n\xC2\xB0 7"), "Golden", "Kerbolt");
    pdf.BeginDoc(path);
    pdf.SetPaperSize(9);
    pdf.BeginPage();
    pdf.AddBookmark(Pagora::FromUtf8("D\xC3\xA9"
                                     "but"));
    pdf.SetFont("Arial", 11.5f, 1);
    pdf.SetColorText("#1A2B3C");
    pdf.DrawText(20.25f, 30.125f, Pagora::FromUtf8("Indemnit\xC3\xA9 de d\xC3\xA9rangement"));
    pdf.SetFont("TimesNewRoman", 9.75f, 2, 238);
    pdf.DrawText(20.25f, 40.5f,
                 Pagora::FromUtf8("\xC4\x8C"
                                  "e\xC5\xA1tina \xC5\x99\xC5\xBE",
                                  238));
    pdf.SetFont("CourierNew", 8.3f);
    pdf.SetBoxStyle(1.15f, 2.5f, 1.2f, 0.8f, 1.2f, 0.8f);
    pdf.DrawTextBox(20.25f, 50.75f, 80.4f, 30.3f,
                    Pagora::FromUtf8("Le conducteur du v\xC3\xA9hicule a stationn\xC3\xA9 sans "
                                     "droit sur une place priv\xC3\xA9"
                                     "e.\r\nMontant : 50.00"));
    pdf.SetLineWidth(0.35f);
    pdf.SetColorLine("@0.1 0.2 0.3 0.4");
    pdf.SetColorFill("%0.85");
    pdf.SetAlphaFill(60);
    pdf.DrawRect(110.5f, 50.25f, 60.125f, 25.875f, 3, 2.5f);
    pdf.SetDash("2.5 1.25", 0.5f);
    pdf.DrawCircle(140.33f, 120.66f, 17.77f);
    pdf.MoveTo(20.1f, 150.2f);
    pdf.DrawCurve(1, 40.3f, 130.4f, 60.5f, 170.6f, 80.7f, 150.8f);
    const std::vector<std::uint8_t> samples{255, 0,  0,   0,   255, 0, 0,  0,  255,
                                            9,   99, 199, 250, 128, 1, 77, 66, 55};
    pdf.AddImagePattern("dots", 3, 2, samples, {});
    pdf.DrawImage("dots", 20.4f, 200.6f, 30.3f, 20.2f);
    pdf.DrawBarCode(3, "2025030709150", 110.2f, 200.3f, true, 0.85f);
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
}

// Rewrites the golden files from this build when KERBOLT_WRITE_GOLDEN names a folder.
std::string Compare(const std::string& written, const char* golden) {
    const std::string bytes = ReadFileBytes(written);
    if (const char* out = std::getenv("KERBOLT_WRITE_GOLDEN")) {
        std::filesystem::copy_file(written, std::filesystem::path(out) / golden,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    return bytes;
}

class GoldenDocument : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenDocument, MatchesTheFileTheLinuxBuildWrote) {
    TempDir dir;
    const std::string path = dir.File("out.pdf");
    WriteDocument(path, GetParam().protect);
    const std::string written = Compare(path, GetParam().file);
    const std::string golden =
        ReadFileBytes(testing_support::TestDataDir() + "/writer/" + GetParam().file);
    ASSERT_FALSE(golden.empty());
    EXPECT_TRUE(written == golden) << "differs from " << GetParam().file;
}

// A user whose settings write "3,5": the number text of a document must not follow them.
TEST_P(GoldenDocument, ACommaDecimalLocaleChangesNoByte) {
    const char* names[] = {"French_Switzerland.1252", "de-CH", "fr_CH.UTF-8", "de_DE.UTF-8",
                           "fr_FR.UTF-8"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma on this system";
    }
    try {
        std::locale::global(std::locale(std::locale::classic(), chosen, std::locale::numeric));
    } catch (const std::runtime_error&) {
        // The C++ library of the Windows build knows no named locale; the C one is what counts.
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 3.5);
    TempDir dir;
    const std::string path = dir.File("out.pdf");
    WriteDocument(path, GetParam().protect);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_STREQ(probe, "3,5") << chosen;
    EXPECT_TRUE(ReadFileBytes(path) ==
                ReadFileBytes(testing_support::TestDataDir() + "/writer/" + GetParam().file))
        << "under " << chosen;
}

INSTANTIATE_TEST_SUITE_P(Files, GoldenDocument,
                         ::testing::Values(Golden{"golden_plain.pdf", false},
                                           Golden{"golden_protected.pdf", true}));

} // namespace
