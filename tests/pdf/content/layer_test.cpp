#include "tests/pdf/writer/writer_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a reader sees of the optional content: each group's name and, for /ON, /OFF and /Order,
// the group names in place of the references (nested lists in brackets); then each membership
// group's members and policy, and each usage event.
constexpr const char* kReadLayers =
    "/usr/bin/python3 -W ignore -c \"import pikepdf,sys\n"
    "p = pikepdf.open(sys.argv[1], password='user')\n"
    "oc = p.Root.OCProperties\n"
    "nm = lambda g: str(g.Name)\n"
    "def order(a): return ' '.join('[' + order(x) + ']' if isinstance(x, pikepdf.Array) "
    "else (nm(x) if isinstance(x, pikepdf.Dictionary) else str(x)) for x in a)\n"
    "print('groups', order(oc.OCGs))\n"
    "print('on', order(oc.D.ON))\n"
    "print('off', order(oc.D.OFF))\n"
    "print('order', order(oc.D.Order))\n"
    "for e in oc.D.AS: print('as', e.Event, order(e.OCGs))\n"
    "for k, v in sorted(p.pages[0].Resources.Properties.items()):\n"
    "    if v.Type == '/OCMD': print('group', order(v.OCGs), v.get('/P'))\n"
    "\" %f 2>&1";

class LayerTest : public writer_test::WriterTest {
protected:
    std::string Layers() const { return Run(kReadLayers).out; }
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

} // namespace
