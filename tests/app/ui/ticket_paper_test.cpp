// The printed ticket carries the lines the preview shows, no more and no less: long titles,
// plates and addresses are wrapped at blanks and set smaller on paper exactly as on the screen,
// and no default text of any language is cut inside a word.
#include "app/ui/frm_main.h"

#include "app/core/store/records.h"
#include "app/core/ticket/ticket_layout.h"
#include "app/ui/ticket_painter.h"
#include "app/ui/window_common.h"
#include "tests/support/ui_harness.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
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
        harness_.SignedIn(texts::kFrench);
        store::State& state = harness_.context->state;
        ASSERT_TRUE(store::WriteAccount(state.DataFile, "a@b.ch", "secret1"));
        ASSERT_TRUE(store::WritePlaces(
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
    const std::vector<std::string> top =
        preview({ticket::kLabelTitle, ticket::kLabelText, ticket::kLabelFooter});
    const std::vector<std::string> left =
        preview({ticket::kLabelPayeeHeading, ticket::kLabelAccount, ticket::kLabelCompany,
                 ticket::kLabelStreet, ticket::kLabelTown});
    std::vector<std::string> right = preview({ticket::kLabelAmountHeading});
    right.push_back(Words(PreviewLines(window, ticket::kLabelCurrency)[0] + " " +
                          PreviewLines(window, ticket::kLabelAmount)[0]));
    for (const std::string& line :
         preview({ticket::kLabelMessageHeading, ticket::kLabelReference, ticket::kLabelPlates}))
        right.push_back(line);

    // Nothing is cut mid-word: the long title and plates show every word, set smaller than the
    // label's own size, and the long address wraps at blanks.
    for (const auto& [label, end] :
         {std::pair{ticket::kLabelTitle, "ZTITRE"}, std::pair{ticket::kLabelText, "ZADR"},
          std::pair{ticket::kLabelPlates, "ZPLAQUE"}}) {
        const QLabel* shown = Control<QLabel>(&window, ("lblBV" + std::to_string(label)).c_str());
        EXPECT_TRUE(shown->text().contains(QLatin1String(end))) << label << " " << end;
    }
    for (int label : {ticket::kLabelTitle, ticket::kLabelPlates}) {
        EXPECT_LT(Control<QLabel>(&window, ("lblBV" + std::to_string(label)).c_str())
                      ->font()
                      .pointSizeF(),
                  TicketLabelFont(label).pointSizeF())
            << label;
    }
    EXPECT_TRUE(
        PreviewLines(window, ticket::kLabelText)[1].starts_with("sur la place Chemin de la"));
    EXPECT_TRUE(PreviewLines(window, ticket::kLabelPlates)[0].starts_with("VD 123456"));

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

// Every word of the four languages' default title, text and footer is printed whole.
TEST(TicketPaperLanguages, EveryWordOfTheDefaultTextsPrintsWhole) {
    UiHarness harness{testing_support::Server::Stopped};
    harness.SignedIn(texts::kFrench);
    const std::string address = "Rue du Lac 1, 1000 Lausanne";
    ASSERT_TRUE(store::WriteAccount(harness.context->state.DataFile, "a@b.ch", "secret1"));
    ASSERT_TRUE(store::WritePlaces(harness.context->state.DataFile, {{"A1", address, "0"}}));
    for (std::int16_t language = 1; language <= 4; ++language) {
        SCOPED_TRACE(language);
        harness.SignedIn(language);
        const store::State& state = harness.context->state;
        frmMain window(*harness.context);
        Control<QComboBox>(&window, "cmbPlace")->setCurrentIndex(0);
        Control<QLineEdit>(&window, "txtPlaques")->setText(QStringLiteral("VD 1"));
        Control<QPushButton>(&window, "cmdPrint")->click();
        ASSERT_EQ(harness.printers.pages_printed, language);

        std::multiset<std::string> printed;
        for (const PrintedWord& word : PrintedWords(harness.dir.File("ticket.pdf")))
            printed.insert(word.text);
        std::string texts = state.TicketTitle + "\n" + state.TicketText + "\n" + state.TicketFooter;
        for (std::size_t at = texts.find("{adresse}"); at != std::string::npos;
             at = texts.find("{adresse}"))
            texts.replace(at, 9, address);
        std::string word;
        for (const char c : texts + " ") {
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
                word += c;
                continue;
            }
            if (!word.empty()) EXPECT_TRUE(printed.count(word) > 0) << word;
            word.clear();
        }
    }
}

// The box of a preview label, as the screen measures it.
struct Box {
    double width;
    double height;
};
Box BoxOf(int label) {
    const auto& r = ticket::kPreviewLabelRects[static_cast<std::size_t>(label)];
    return {static_cast<double>(Px(r.width)), static_cast<double>(Px(r.height))};
}

TEST(TicketLabelLayout, WrapsAtBlanksAndSetsSmallerUntilTheLinesFitTheBox) {
    const auto words = [](int count) {
        QStringList numbered;
        for (int i = 1; i <= count; ++i)
            numbered.push_back(QStringLiteral("mot%1").arg(i));
        return numbered.join(QLatin1Char(' '));
    };
    enum class Fit { AsItIs, Wrapped, Smaller, Cut };
    const struct {
        int label;
        QString text;
        Fit fit;
    } cases[] = {
        {ticket::kLabelTitle, QStringLiteral("Indemnité"), Fit::AsItIs},
        {ticket::kLabelTitle, words(12), Fit::Wrapped},
        {ticket::kLabelTitle, words(30), Fit::Smaller},
        {ticket::kLabelTitle, words(300), Fit::Cut},
        {ticket::kLabelText, words(20), Fit::Wrapped},
        {ticket::kLabelText, QStringLiteral("a\r\nb\nc"), Fit::AsItIs},
        {ticket::kLabelText, QStringLiteral("Merci  de  payer \r\nligne"), Fit::AsItIs},
        {ticket::kLabelText, QStringLiteral("ligne\n").repeated(40), Fit::Cut},
        {ticket::kLabelPlates, QStringLiteral("VD 123456 / GE 654321 / FR 99"), Fit::Smaller},
        {ticket::kLabelPlates, QStringLiteral("W").repeated(80), Fit::Cut},
        {ticket::kLabelReference, QString(), Fit::AsItIs},
        // Amounts show whole: a cut amount would print a different sum.
        {ticket::kLabelAmount, QStringLiteral(" 50.00"), Fit::AsItIs},
        {ticket::kLabelAmount, QStringLiteral("999999 999.99"), Fit::AsItIs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(30).toStdString());
        const TicketLabelText layout = TicketLabelLayout(c.label, c.text);
        const double size = layout.font.pointSizeF();
        const double own_size = TicketLabelFont(c.label).pointSizeF();
        const QFontMetricsF metrics(layout.font);
        const Box box = BoxOf(c.label);
        // The lines always fit the box: its width, and its height whole.
        for (const QString& line : layout.lines)
            EXPECT_LE(metrics.horizontalAdvance(line), box.width) << line.toStdString();
        EXPECT_LE(metrics.height() + (layout.lines.size() - 1) * metrics.lineSpacing(),
                  box.height + 0.001);
        const QStringList own_lines =
            QString(c.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
        switch (c.fit) {
        case Fit::AsItIs:
            EXPECT_EQ(size, own_size);
            EXPECT_EQ(layout.lines, own_lines);
            break;
        case Fit::Wrapped:
        case Fit::Smaller:
            // Every word, in order, broken only at blanks.
            EXPECT_EQ(c.fit == Fit::Wrapped, size == own_size) << size;
            EXPECT_EQ(Words(layout.lines.join(QLatin1Char(' ')).toStdString()),
                      Words(QString(own_lines.join(QLatin1Char(' '))).toStdString()));
            EXPECT_GT(layout.lines.size(), c.fit == Fit::Wrapped ? 1 : 0);
            break;
        case Fit::Cut:
            // Only at the smallest size, and only what does not fit is gone.
            EXPECT_EQ(size, 5.0);
            EXPECT_FALSE(layout.lines.isEmpty());
            EXPECT_LT(layout.lines.join(QString()).size(), c.text.size());
            break;
        }
    }
}

} // namespace
} // namespace kerbolt::ui
