// The mandate written by the library's own PDF writer, read back with independent tools.
#include "app/core/mandate/mandate_pagora_writer.h"

#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/fixed_host.h"
#include "tests/support/mandate_fakes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"
#include "tests/support/web_fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace kerbolt::mandate {
namespace {

using testing_support::RunCommand;
using testing_support::TempDir;

// A logo twice as wide as high, with a pattern an image reader cannot mistake for blank.
RgbImage WideLogo() {
    RgbImage logo{40, 20, {}};
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x) {
            const bool dark = (x / 5 + y / 5) % 2 == 0;
            logo.rgb.insert(logo.rgb.end(), {static_cast<std::uint8_t>(dark ? 0 : 255),
                                             static_cast<std::uint8_t>(dark ? 0 : 255),
                                             static_cast<std::uint8_t>(dark ? 128 : 255)});
        }
    return logo;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(" \f");
        lines.push_back(first == std::string::npos ? "" : line.substr(first));
    }
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// The pages that hold an image of the logo's size, from the image lister's table.
std::vector<int> LogoPages(const std::string& pdf) {
    const auto listed = RunCommand("pdfimages -list '" + pdf + "'");
    std::vector<int> pages;
    for (const std::string& line : Lines(listed.out)) {
        std::istringstream row(line);
        int page = 0, number = 0, width = 0, height = 0;
        std::string type;
        if (row >> page >> number >> type >> width >> height && width == 40 && height == 20)
            pages.push_back(page);
    }
    return pages;
}

// 1 to the number of pages that the document information gives.
std::vector<int> PageNumbers(const std::string& pdf) {
    const std::string info = RunCommand("pdfinfo '" + pdf + "'").out;
    std::smatch pages;
    if (!std::regex_search(info, pages, std::regex("Pages: +([0-9]+)"))) return {};
    std::vector<int> numbers(static_cast<std::size_t>(std::stoi(pages[1])));
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<int>(i) + 1;
    return numbers;
}

KERBOLT_TEST_LABEL(oracle, "MandateDocumentTest.*");
class MandateDocumentTest : public ::testing::Test {
protected:
    MandateDocumentTest()
        : state_(testing_support::MandateUser(dir_.Path(), {.Nom = "Zoë Châtelain",
                                                            .rue = "Rue de l'Église",
                                                            .no = "3",
                                                            .npa = "1003",
                                                            .ville = "Lausanne"})) {}

    void Spots(int count) {
        std::vector<store::PlaceRecord> places;
        for (int i = 0; i < count; ++i)
            places.push_back({"P" + std::to_string(i),
                              "Chemin des Prés " + std::to_string(i) + ", 1000 Lausanne", "0"});
        store::WritePlaces(state_.DataFile, places);
    }

    // Builds the document; returns its path.
    std::string Build() {
        testing_support::RecordingShell shell;
        const MandateResult result = BuildMandatePdf(
            state_, WideLogo(), shell, PagoraWriterFactory(testing_support::MakeFixedHost()));
        EXPECT_TRUE(result.ok) << result.error;
        const std::string path = web::MandateLocalPath(state_.DataFolder, state_.AccountKey);
        EXPECT_EQ(shell.calls, std::vector<std::string>{"document " + path});
        return path;
    }

    std::string Text(const std::string& pdf) {
        return RunCommand("pdftotext -enc UTF-8 '" + pdf + "' -").out;
    }

    TempDir dir_;
    store::State state_;
};

struct LanguageCase {
    std::int16_t language;
    const char* title;
    std::vector<std::string> headings;
    const char* address_label;
};

class MandateInEachLanguage : public MandateDocumentTest,
                              public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(MandateInEachLanguage, ReadsBackWithTheUsersDetailsAndSpots) {
    const LanguageCase& c = GetParam();
    state_.Language = c.language;
    Spots(3);
    const std::string pdf = Build();

    EXPECT_EQ(RunCommand("qpdf --check '" + pdf + "' >/dev/null 2>&1").status, 0);
    const std::string info = RunCommand("pdfinfo '" + pdf + "'").out;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +596 x 842 pts"))) << info;

    const std::vector<std::string> lines = Lines(Text(pdf));
    EXPECT_TRUE(HasLine(lines, c.title)) << c.title;
    for (const std::string& heading : c.headings)
        EXPECT_TRUE(HasLine(lines, heading)) << heading;
    const std::string all = Text(pdf);
    EXPECT_NE(all.find("Zoë Châtelain"), std::string::npos);
    // The reader shows the label's blank and the one after it as one.
    EXPECT_NE(all.find(std::string(c.address_label) + " Rue de l'Église 3, 1003 Lausanne"),
              std::string::npos);
    for (int i = 0; i < 3; ++i) {
        const std::string spot = "- Chemin des Prés " + std::to_string(i) + ", 1000 Lausanne";
        EXPECT_TRUE(HasLine(lines, spot)) << spot;
    }
    // The logo heads page 1 and every page after it.
    EXPECT_EQ(LogoPages(pdf), PageNumbers(pdf));
}

KERBOLT_TEST_LABEL(oracle, "Languages/MandateInEachLanguage.*");
INSTANTIATE_TEST_SUITE_P(
    Languages, MandateInEachLanguage,
    ::testing::Values(
        LanguageCase{1,
                     "Mandat d’intervention pour indemnité de dérangement",
                     {"Objet du mandat", "Durée du mandat", "Pouvoirs conférés", "Rémunération",
                      "Engagement du Mandant", "Signature"},
                     "Adresse :"},
        LanguageCase{2,
                     "Mandat zur Intervention wegen Parkschadenentschädigung",
                     {"Auftragsgegenstand", "Auftragsdauer", "Erteilte Befugnisse", "Vergütung",
                      "Verpflichtungen des Auftraggebers", "Unterschrift"},
                     "Adresse:"},
        LanguageCase{3,
                     "Mandate for intervention regarding disturbance compensation",
                     {"Object of the mandate", "Duration of the mandate", "Powers granted",
                      "Remuneration", "Commitment of the Principal", "Signature"},
                     "Address:"},
        LanguageCase{4,
                     "Mandato di intervento per indennità di disturbo",
                     {"Oggetto del mandato", "Durata del mandato", "Poteri conferiti",
                      "Remunerazione", "Impegno del Mandante", "Firma"},
                     "Indirizzo:"}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) {
        return "Language" + std::to_string(info.param.language);
    });

TEST_F(MandateDocumentTest, FortySpotsRunOverPagesWithNothingCut) {
    state_.Language = 3;
    Spots(40);
    const std::string pdf = Build();
    EXPECT_EQ(RunCommand("qpdf --check '" + pdf + "' >/dev/null 2>&1").status, 0);
    EXPECT_GE(PageNumbers(pdf).size(), 2u);

    const std::vector<std::string> lines = Lines(Text(pdf));
    for (int i = 0; i < 40; ++i) {
        const std::string spot = "- Chemin des Prés " + std::to_string(i) + ", 1000 Lausanne";
        EXPECT_TRUE(HasLine(lines, spot)) << spot;
    }
    EXPECT_TRUE(HasLine(lines, "Signature"));
    EXPECT_TRUE(HasLine(lines, "by mail or email to: " + DefaultMandateOperator().contact_mail));
    // Every word lies inside its page.
    const std::string boxes = RunCommand("pdftotext -bbox '" + pdf + "' -").out;
    const std::regex word("<word xMin=\"([0-9.-]+)\" yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" "
                          "yMax=\"([0-9.-]+)\">([^<]*)</word>");
    int words = 0;
    for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), word);
         it != std::sregex_iterator(); ++it, ++words) {
        const std::smatch& m = *it;
        EXPECT_GE(std::stod(m[2]), 0) << m[5];
        EXPECT_LE(std::stod(m[4]), 842) << m[5];
        EXPECT_LE(std::stod(m[3]), 596) << m[5];
    }
    EXPECT_GT(words, 400);
    EXPECT_EQ(LogoPages(pdf), PageNumbers(pdf));
}

} // namespace
} // namespace kerbolt::mandate
