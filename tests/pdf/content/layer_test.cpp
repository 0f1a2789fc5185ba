#include "tests/pdf/content/content_fixture.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

KERBOLT_TEST_LABEL(oracle, "LayerTest.*");
class LayerTest : public writer_test::WriterTest {
protected:
    // What a reader sees of the optional content (the "layers" query).
    std::string Layers() const {
        return testing_support::InspectPdf(Path(), "layers", {}, "user").out;
    }
    void Start() {
        pdf_.SetDocProperty("Plan (v2)");
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
    }
    void DrawIn(const std::string& layer, bool start = true, bool list = true,
                const std::string& parent = "") {
        pdf_.BeginLayer(layer, start, list, parent);
        pdf_.DrawRect(10, 10, 20, 20);
        pdf_.EndLayer();
    }
    void Finish() {
        pdf_.EndPage();
        pdf_.EndDoc();
        EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    }
};

// States, nesting and the panel list: a child sits in brackets after its parent, an unlisted
// top-level layer and a layer whose parent's case differs are in no list; a later call with
// another case finds the first layer and keeps its settings.
TEST_F(LayerTest, GroupsStatesAndOrderAsAReaderSeesThem) {
    for (const bool protect : {false, true}) {
        SCOPED_TRACE(protect);
        pdf_.Abort();
        if (protect) pdf_.SetProtection(0x1000, "owner", "user");
        Start();
        DrawIn("Roads");
        DrawIn("Labels (all)", false);
        DrawIn("Streets", true, true, "Roads");
        DrawIn("ROADS", false, false); // the same layer as "Roads"
        DrawIn("Hidden", true, false);
        DrawIn("Orphan", true, true, "roads");
        Finish();
        EXPECT_EQ(Layers(), "groups Roads Labels (all) Streets Hidden Orphan\n"
                            "on Roads Streets Hidden Orphan\n"
                            "off Labels (all)\n"
                            "order Plan (v2) Roads [Streets] Labels (all)\n");
        EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.5");
        const auto check = Run("qpdf --check --password=user %f 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
    }
}

TEST_F(LayerTest, ScreenAndPrinterLayersGetTheirUsage) {
    Start();
    DrawIn("SCREEN", false);
    DrawIn("PRINTER", true);
    DrawIn("Screen"); // only the exact name is special; this is the first layer again
    Finish();
    EXPECT_EQ(Layers(), "groups SCREEN PRINTER\non SCREEN\noff PRINTER\n"
                        "order Plan (v2) SCREEN PRINTER\n"
                        "as /Print PRINTER SCREEN\nas /View PRINTER SCREEN\n");
    ExpectValidPdf();
}

TEST_F(LayerTest, ConditionalGroupsListTheLayersTheyName) {
    Start();
    DrawIn("A");
    DrawIn("B");
    pdf_.BeginConditionalLayer(" a, b ,Missing", 2);
    pdf_.DrawRect(10, 10, 20, 20);
    pdf_.EndConditionalLayer();
    pdf_.BeginConditionalLayer("Missing", 3);
    pdf_.EndConditionalLayer();
    pdf_.BeginConditionalLayer(""); // no object at all
    pdf_.EndConditionalLayer();
    Finish();
    EXPECT_EQ(Layers(), "groups A B\non A B\noff \norder Plan (v2) A B\n"
                        "group A B /AllOn\ngroup  /AllOff\n");
    ExpectValidPdf();
}

TEST_F(LayerTest, RefusedAndIgnoredCalls) {
    Start();
    // No layer yet: the end operators write nothing that would unbalance the content.
    pdf_.EndLayer();
    pdf_.EndConditionalLayer();
    EXPECT_THROW(pdf_.BeginLayer(""), pagora::PdfError);
    EXPECT_THROW(pdf_.BeginConditionalLayer("A", 40000), pagora::PdfError);
    pdf_.DrawRect(10, 10, 20, 20);
    Finish();
    EXPECT_EQ(Bytes().find("/OCProperties"), std::string::npos);
    ExpectValidPdf();

    pdf_.Abort();
    pdf_.SetPDFa(true);
    Start();
    DrawIn("A");
    pdf_.BeginConditionalLayer("A");
    pdf_.EndConditionalLayer();
    Finish();
    EXPECT_EQ(Bytes().find("/OC"), std::string::npos);
}

// The panel's order for a chain of layers far deeper than a tree is ever drawn, a parent with
// many children, and top-level layers listed or not, against the order written as a walk from
// the top: each listed top-level layer, then each layer's children in brackets after it.
class LayerOrder : public writer_test::WriterTest {};

TEST_F(LayerOrder, OrderIsTheWalkFromTheTopThroughDeepAndWideTrees) {
    struct Layer {
        std::string name;
        std::string parent;
        bool listed = true;
    };
    std::vector<Layer> layers{{"Chain 0", ""}, {"Wide", ""}, {"Unlisted", "", false}};
    for (int i = 1; i < 2000; ++i)
        layers.push_back({"Chain " + std::to_string(i), "Chain " + std::to_string(i - 1)});
    for (int i = 0; i < 50; ++i)
        layers.push_back({"Leaf " + std::to_string(i), i % 2 == 0 ? "Wide" : "Unlisted"});
    layers.push_back({"Stray", "wide"}); // a parent named in another case is no parent
    layers.push_back({"Hidden child", "Wide", false});

    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (const Layer& layer : layers) {
        pdf_.BeginLayer(layer.name, true, layer.listed, layer.parent);
        pdf_.EndLayer();
    }
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();

    // The group objects in order of creation, as the group list names them.
    const std::string file = Bytes();
    const std::size_t groups_at = file.find("/OCGs [");
    ASSERT_NE(groups_at, std::string::npos);
    std::vector<std::string> refs;
    std::istringstream groups(
        file.substr(groups_at + 7, file.find(']', groups_at) - groups_at - 7));
    for (std::string number, zero, r; groups >> number >> zero >> r;)
        refs.push_back(number + " 0 R ");
    ASSERT_EQ(refs.size(), layers.size());

    // The walk, written down as a recursion over the records.
    std::function<std::string(const std::string&)> children = [&](const std::string& parent) {
        std::string out;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            if (layers[i].parent != parent) continue;
            out += refs[i];
            const std::string sub = children(layers[i].name);
            if (!sub.empty()) out += "[" + sub + "] ";
        }
        return out;
    };
    std::string order;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (!layers[i].parent.empty() || !layers[i].listed) continue;
        order += refs[i];
        const std::string sub = children(layers[i].name);
        if (!sub.empty()) order += "[" + sub + "] ";
    }
    // After the document's title, whatever it is.
    EXPECT_NE(file.find(") " + order + "]>>"), std::string::npos);
}

// The marked content names layers and groups by their numbers from 1: a layer begun again by
// name keeps its number, a group whose visibility is refused still takes one, and Abort starts
// the numbering afresh.
class LayerContent : public content_test::PageContent {};

TEST_F(LayerContent, MarkedContentNumbersLayersAndGroupsFromOne) {
    using content_test::Lines;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        pdf.BeginLayer("One");
        pdf.BeginLayer("Two");
        pdf.BeginLayer("one");
        EXPECT_THROW(pdf.BeginConditionalLayer("One", 40000), pagora::PdfError);
        pdf.BeginConditionalLayer("Two");
        EXPECT_EQ(Written(), (Lines{"/OC /PLAY_1 BDC", "/OC /PLAY_2 BDC", "/OC /PLAY_1 BDC",
                                    "/OC /PGRLAY_2 BDC"}));
        EXPECT_EQ(Inner().content.layers.size(), 2u);
        EXPECT_EQ(Inner().content.conditional_layers.size(), 2u);
        pdf.Abort();
        EXPECT_TRUE(Inner().content.layers.empty());
        EXPECT_TRUE(Inner().content.conditional_layers.empty());
        // The page this fixture draws on, back after Abort closed it.
        Inner().writer.in_page = true;
        Inner().writer.resource_prefix = "P";
        Inner().writer.page_content.clear();
        Written();
    }
}

// Thousands of names, the table of names growing under them: a name begun again in other case
// keeps its layer's number, names differing in one letter or in length are other layers, and
// letters outside ASCII are compared as they are.
TEST_F(LayerContent, ThousandsOfNamesKeepTheirNumbersWithoutRegardToCase) {
    constexpr int kLayers = 5000;
    for (int i = 0; i < kLayers; ++i)
        pdf.BeginLayer("Layer " + std::to_string(i));
    (void)Written();
    for (int i = kLayers - 1; i >= 0; i -= 7) {
        pdf.BeginLayer("lAYER " + std::to_string(i));
        ASSERT_EQ(Written(), content_test::Lines{"/OC /PLAY_" + std::to_string(i + 1) + " BDC"});
    }
    pdf.BeginLayer("Layer 12a");
    pdf.BeginLayer("Layer 1 ");
    pdf.BeginLayer("Caf\xE9");
    pdf.BeginLayer("CAF\xC9");
    pdf.BeginLayer("caf\xE9");
    EXPECT_EQ(Written(),
              (content_test::Lines{"/OC /PLAY_5001 BDC", "/OC /PLAY_5002 BDC", "/OC /PLAY_5003 BDC",
                                   "/OC /PLAY_5004 BDC", "/OC /PLAY_5003 BDC"}));
    EXPECT_EQ(Inner().content.layers.size(), static_cast<std::size_t>(kLayers + 4));
}

} // namespace
