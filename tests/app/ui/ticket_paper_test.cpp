// The printed ticket carries the lines the preview shows, no more and no less: long titles,
// plates and addresses are wrapped and cut on paper exactly as on the screen.
#include "app/ui/frm_main.h"

#include "app/core/store/records.h"
#include "app/ui/ticket_painter.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

namespace kerbolt::ui {
namespace {

using testing_support::Control;
using testing_support::RunCommand;
using testing_support::UiHarness;

// Words of a ticket's text with blanks of any length between them, and none at either end.
std::string Words(const std::string& text) {
    std::string words;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            blank = !words.empty();
            continue;
        }
        if (blank) words += ' ';
        blank = false;
        words += c;
    }
    return words;
}

std::string Unescape(std::string text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : kEntities) {
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), character);
    }
    return text;
}

struct PrintedWord {
    std::string text;
    double x = 0;
    double baseline = 0;
};

std::vector<PrintedWord> PrintedWords(const std::string& pdf) {
    const auto result = RunCommand("pdftotext -bbox '" + pdf + "' -");
    EXPECT_EQ(result.status, 0);
    std::vector<PrintedWord> words;
    static const std::regex kWord(
        R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="[0-9.]+" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator it(result.out.begin(), result.out.end(), kWord), end; it != end;
         ++it) {
        words.push_back(
            {Unescape((*it)[3].str()), std::stod((*it)[1].str()), std::stod((*it)[2].str())});
    }
    return words;
}

// The printed lines, top to bottom: words on one baseline, left to right, one blank apart.
std::vector<std::string> PrintedLines(std::vector<PrintedWord> words) {
    std::sort(words.begin(), words.end(), [](const PrintedWord& a, const PrintedWord& b) {
        if (std::abs(a.baseline - b.baseline) > 1) return a.baseline < b.baseline;
        return a.x < b.x;
    });
    std::vector<std::string> lines;
    double baseline = -100;
    for (const PrintedWord& word : words) {
        if (std::abs(word.baseline - baseline) > 1)
            lines.emplace_back();
        else
            lines.back() += ' ';
        lines.back() += word.text;
        baseline = word.baseline;
    }
    return lines;
}

class TicketPaper : public ::testing::Test {
protected:
    void SetUp() override {
        harness_.SignedIn(Module1::kFrench);
        Module1::State& state = harness_.context->state;
        ASSERT_TRUE(WriteAccount(state.DataFile, "a@b.ch", "secret1"));
        ASSERT_TRUE(WritePlaces(
            state.DataFile,
            {{"A1", "Chemin de la Grande-Fontaine-des-Prés 117, 1000 Lausanne ZADR", "0"}}));
        // 140 characters: more than the title's two lines hold.
        state.TicketTitle = "Indemnité pour l'utilisation sans droit d'une place de parc privée "
                            "appartenant à un tiers, selon les conditions affichées ZTITRE";
        state.TicketText = "Votre véhicule était stationné sans droit\r\n"
                           "sur la place {adresse}, que nous surveillons.\r\n"
                           "\r\n"
                           "Merci  de  payer dans les 30 jours.";
    }

    // The preview's lines of a label, as the screen shows them.
    std::vector<std::string> PreviewLines(frmMain& window, int label) {
        const QString text =
            Control<QLabel>(&window, ("lblBV" + std::to_string(label)).c_str())->text();
        std::vector<std::string> lines;
        for (const QString& line : text.split(QLatin1Char('\n')))
            lines.push_back(line.toStdString());
        return lines;
    }

    UiHarness harness_{testing_support::Server::Stopped};
};

TEST_F(TicketPaper, PrintsTheLinesThePreviewShowsOfLongTitlesAddressesAndPlates) {
    frmMain window(*harness_.context);
    window.show();
    Control<QComboBox>(&window, "cmbPlace")->setCurrentIndex(0);
    Control<QLineEdit>(&window, "txtPlaques")
        ->setText(QStringLiteral("VD 123456 / GE 654321 / FR 99 ZPLAQUE"));

    const auto preview = [&](std::initializer_list<int> labels) {
        std::vector<std::string> lines;
        for (int label : labels)
            for (const std::string& line : PreviewLines(window, label))
                if (!Words(line).empty()) lines.push_back(Words(line));
        return lines;
    };
    // Above the cut line: title, text and footer; below: the payee column, then the amount and
    // message column, whose amount shares the currency's line.
    const std::vector<std::string> top = preview({kLabelTitle, kLabelText, kLabelFooter});
    const std::vector<std::string> left =
        preview({kLabelPayeeHeading, kLabelAccount, kLabelCompany, kLabelStreet, kLabelTown});
    std::vector<std::string> right = preview({kLabelAmountHeading});
    right.push_back(Words(PreviewLines(window, kLabelCurrency)[0] + " " +
                          PreviewLines(window, kLabelAmount)[0]));
    for (const std::string& line : preview({kLabelMessageHeading, kLabelReference, kLabelPlates}))
        right.push_back(line);

    // The preview did cut: the title keeps two lines, and the ends of the long texts are gone.
    EXPECT_EQ(PreviewLines(window, kLabelTitle).size(), 2u);
    for (int label : {kLabelTitle, kLabelText, kLabelPlates}) {
        const QString shown =
            Control<QLabel>(&window, ("lblBV" + std::to_string(label)).c_str())->text();
        for (const char* end : {"ZTITRE", "ZADR", "ZPLAQUE"})
            EXPECT_FALSE(shown.contains(QLatin1String(end))) << label << " " << end;
    }
    EXPECT_TRUE(PreviewLines(window, kLabelText)[1].starts_with("sur la place Chemin de la"));
    EXPECT_TRUE(PreviewLines(window, kLabelPlates)[0].starts_with("VD 123456"));

    Control<QPushButton>(&window, "cmdPrint")->click();
    ASSERT_EQ(harness_.printers.pages_printed, 1);
    const std::vector<PrintedWord> words = PrintedWords(harness_.dir.File("ticket.pdf"));
    const auto cut_line = std::find_if(words.begin(), words.end(), [](const PrintedWord& w) {
        return w.text == std::string(71, '-');
    });
    ASSERT_NE(cut_line, words.end());
    std::vector<PrintedWord> above, left_column, right_column;
    for (const PrintedWord& word : words) {
        if (word.baseline < cut_line->baseline - 1)
            above.push_back(word);
        else if (word.baseline > cut_line->baseline + 1)
            (word.x < 2600.0 / 20 - 1 ? left_column : right_column).push_back(word);
    }
    EXPECT_EQ(PrintedLines(above), top);
    EXPECT_EQ(PrintedLines(left_column), left);
    EXPECT_EQ(PrintedLines(right_column), right);
}

TEST(TicketLabelLines, WrapOnlyTheTitleAndKeepWhatFitsTheBox) {
    QStringList numbered;
    for (int i = 1; i <= 60; ++i)
        numbered.push_back(QStringLiteral("mot%1").arg(i));
    const QString long_line = numbered.join(QLatin1Char(' '));
    const struct {
        int label;
        QString text;
        qsizetype lines;
    } cases[] = {
        {kLabelTitle, QStringLiteral("Indemnité"), 1},
        {kLabelTitle, long_line, 2},
        {kLabelText, long_line, 1},
        {kLabelText, QStringLiteral("a\r\nb\nc"), 3},
        {kLabelPlates, QStringLiteral("W").repeated(80), 1},
        {kLabelReference, QString(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString());
        const QStringList lines = TicketLabelLines(c.label, c.text);
        ASSERT_EQ(lines.size(), c.lines);
        if (c.label == kLabelTitle) {
            // The title's words in order, up to where its box ends.
            EXPECT_TRUE(c.text.startsWith(lines.join(QLatin1Char(' '))));
            EXPECT_LT(lines.join(QLatin1Char(' ')).size(), c.text.size() + 1);
        } else {
            // Each line is the start of the text's own line.
            const QStringList own =
                QString(c.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
            for (qsizetype i = 0; i < lines.size(); ++i)
                EXPECT_TRUE(own[i].startsWith(lines[i])) << i;
        }
    }
    EXPECT_LT(TicketLabelLines(kLabelPlates, QStringLiteral("W").repeated(80))[0].size(), 80);
    EXPECT_EQ(TicketLabelLines(kLabelTitle, long_line)[1].split(' ').size() > 1, true);
    // Amounts of the thousands show whole: a cut amount would print a different sum.
    for (const char* amount : {" 50.00", "1 250.00", "99 999.99"})
        EXPECT_EQ(TicketLabelLines(kLabelAmount, QString::fromLatin1(amount)),
                  QStringList{QString::fromLatin1(amount)});
    // Forty lines are more than the text's box holds: the first ones stay, the rest is cut.
    const QStringList many = TicketLabelLines(kLabelText, QStringLiteral("ligne\n").repeated(40));
    EXPECT_LT(many.size(), 20);
    EXPECT_GT(many.size(), 8);
}

} // namespace
} // namespace kerbolt::ui
