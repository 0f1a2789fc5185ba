// The reading of one source document from memory: header and tail, the index in its forms
// (classic tables, compressed cross-reference streams with PNG rows), the document
// information, the page tree and the PDF/A marks, and the faults the reader must catch.
#include "pdf/import/source_document.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using pagora::detail::MemorySourceBytes;
using pagora::detail::SourceDocRecord;
using pagora::detail::SourceReadReport;

using Objects = std::map<int, std::string>;

// A file with a classic table. Offsets count from the header's "%", whatever comes before it.
std::string ClassicFile(const Objects& objects, const std::string& trailer = "/Root 1 0 R",
                        const std::string& header = "%PDF-1.4\n", const std::string& before = "") {
    std::string out = header;
    std::map<int, std::size_t> offsets;
    for (const auto& [number, body] : objects) {
        offsets[number] = out.size();
        out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    const int size = objects.rbegin()->first + 1;
    out += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f\r\n";
    for (int n = 1; n < size; ++n) {
        char entry[32];
        const bool used = offsets.count(n) != 0;
        std::snprintf(entry, sizeof entry, "%010zu 00000 %c\r\n", used ? offsets[n] : 0,
                      used ? 'n' : 'f');
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(size) + " " + trailer + " >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return before + out;
}

std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size,
             reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

// Rows of a cross-reference stream filtered with the PNG filter of each row's type.
std::string PngRows(const std::vector<std::string>& rows, const std::vector<int>& types) {
    std::string out;
    std::string above(rows.front().size(), '\0');
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string& row = rows[r];
        const int type = types[r % types.size()];
        out.push_back(static_cast<char>(type));
        for (std::size_t k = 0; k < row.size(); ++k) {
            const int x = static_cast<unsigned char>(row[k]);
            const int a = k > 0 ? static_cast<unsigned char>(row[k - 1]) : 0;
            const int b = static_cast<unsigned char>(above[k]);
            const int c = k > 0 ? static_cast<unsigned char>(above[k - 1]) : 0;
            int predicted = 0;
            if (type == 1) predicted = a;
            if (type == 2) predicted = b;
            if (type == 3) predicted = (a + b) / 2;
            if (type == 4) {
                const int p = a + b - c;
                const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            out.push_back(static_cast<char>((x - predicted) & 0xFF));
        }
        above = row;
    }
    return out;
}

// A file indexed by one compressed cross-reference stream (/W [1 3 1], PNG rows of the types
// given, subsections as in index).
std::string StreamFile(const Objects& objects, const std::vector<int>& types, bool subsections) {
    std::string out = "%PDF-1.5\n";
    std::map<int, std::size_t> offsets;
    for (const auto& [number, body] : objects) {
        offsets[number] = out.size();
        out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const int own = 20;
    offsets[own] = out.size();
    std::vector<std::string> rows;
    auto row = [](int type, std::size_t field2) {
        return std::string{static_cast<char>(type), static_cast<char>((field2 >> 16) & 0xFF),
                           static_cast<char>((field2 >> 8) & 0xFF),
                           static_cast<char>(field2 & 0xFF), '\0'};
    };
    std::string index;
    if (subsections) {
        // 0 and the objects below 10, then 20 alone.
        int last = objects.rbegin()->first;
        for (int n = 0; n <= last; ++n)
            rows.push_back(offsets.count(n) ? row(1, offsets[n]) : row(0, 0));
        rows.push_back(row(1, offsets[own]));
        index = " /Index [0 " + std::to_string(last + 1) + " 20 1]";
    } else {
        for (int n = 0; n <= own; ++n)
            rows.push_back(offsets.count(n) ? row(1, offsets[n]) : row(0, 0));
    }
    const std::string data = Deflate(PngRows(rows, types));
    out += std::to_string(own) + " 0 obj\n<< /Type /XRef /Size 21 /W [1 3 1]" + index +
           " /Root 1 0 R /Info 2 0 R /Filter /FlateDecode /DecodeParms << /Columns 5 /Predictor "
           "12 >> /Length " +
           std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\n";
    out += "startxref\n" + std::to_string(offsets[own]) + "\n%%EOF\n";
    return out;
}

const Objects kOnePage = {
    {1, "<< /Type /Catalog /Pages 3 0 R >>"},
    {2, "<< /Title (One) >>"},
    {3, "<< /Type /Pages /Kids [4 0 R] /Count 1 >>"},
    {4, "<< /Type /Page /Parent 3 0 R >>"},
};

struct Outcome {
    SourceDocRecord doc;
    SourceReadReport report;
};

Outcome Read(const std::string& file) {
    Outcome out;
    MemorySourceBytes bytes(
        std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
    pagora::detail::ReadSourceDocument(bytes, out.doc, out.report);
    return out;
}

std::vector<int> Numbers(const SourceReadReport& report) {
    std::vector<int> numbers;
    for (const auto& error : report.errors)
        numbers.push_back(error.Number());
    return numbers;
}

TEST(SourceDocument, HeaderVersionAndLeadingLineEnds) {
    struct Case {
        const char* before;
        const char* header;
        int version;
        std::vector<int> errors;
    };
    const Case cases[] = {
        {"", "%PDF-1.4\n", 4, {}},
        {"\r\n\r\n", "%PDF-1.5\n", 5, {}}, // offsets count from the "%"
        {"", "%PDF-1.7\n", 7, {}},
        {"", "%PDF-1.7\r\n", 7, {}},
        {"", "%PDF-1.7 \n", 7, {}},
        {"\n", "%PDF-1.6\r%\xE2\xE3\xCF\xD3\r\n", 6, {}},
        {"", "%PDF-2.0\n", 20, {}}, // later versions count by tens
        {"", "%PDF-1.10\n", 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + c.header);
        const Outcome out =
            Read(ClassicFile(kOnePage, "/Root 1 0 R /Info 2 0 R", c.header, c.before));
        EXPECT_EQ(out.doc.version_level + 3, c.version);
        EXPECT_EQ(Numbers(out.report), c.errors);
        EXPECT_EQ(out.doc.PageCount(), 1);
        EXPECT_EQ(out.doc.title, "One");
    }
}

TEST(SourceDocument, InformationValues) {
    struct Case {
        const char* info;
        const char* title;
        const char* author;
    };
    const Case cases[] = {
        {"<< /Title (Report \\(draft\\)) /Author (A) >>", "Report (draft)", "A"},
        {"<< /Title (Report (draft) [1]) /Author (B) >>", "Report (draft) [1]", "B"},
        // A reference names the string of its object; one that names no object gives nothing.
        {"<< /Title 5 0 R /Author <48656C6C6F> >>", "", "Hello"},
        {"<</Title(Compact)/Author(C)>>", "Compact", "C"},
        // Kept as UTF-8: UTF-16 with its mark, the single-byte encoding with octal escapes.
        {"<< /Title <FEFF 00DC 0062> /Author (\\351\\200) >>",
         "\xC3\x9C"
         "b",
         "\xC3\xA9\xE2\x80\xA2"},
        // Keys are whole names, and values that hold the keys' words do not count as keys.
        {"<< /Titles (no) /Kind (/Title (x)) /Author (D) /Title (Yes) >>", "Yes", "D"},
        // A name ending in "stream" at a line end, or "endobj" inside a string, ends nothing.
        {"<< /Kind /octet-stream\n/Title (x endobj y) /Author (E) >>", "x endobj y", "E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.info);
        Objects objects = kOnePage;
        objects[2] = c.info;
        const Outcome out = Read(ClassicFile(objects, "/Root 1 0 R /Info 2 0 R"));
        EXPECT_EQ(out.doc.title, c.title);
        EXPECT_EQ(out.doc.author, c.author);
        EXPECT_TRUE(out.report.errors.empty());
        EXPECT_EQ(out.doc.PageCount(), 1);
    }
    const Outcome none = Read(ClassicFile(kOnePage, "/Root 1 0 R"));
    EXPECT_EQ(none.doc.title, "");
    EXPECT_TRUE(none.report.errors.empty());
    EXPECT_EQ(none.doc.PageCount(), 1);
}

TEST(SourceDocument, CompressedCrossReferenceStreams) {
    // Every PNG filter type, alone and mixed; one and two subsections.
    for (const std::vector<int>& types :
         {std::vector<int>{0}, {1}, {2}, {3}, {4}, {0, 1, 2, 3, 4}, {4, 2, 3}}) {
        for (const bool subsections : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << types.front() << "/" << types.size() << " " << subsections);
            const Outcome out = Read(StreamFile(kOnePage, types, subsections));
            EXPECT_TRUE(out.report.errors.empty());
            EXPECT_EQ(out.doc.PageCount(), 1);
            EXPECT_EQ(out.doc.title, "One");
        }
    }
}

TEST(SourceDocument, PageTreeOrderDepthAndKidsWithoutType) {
    Objects objects = {
        {1, "<< /Type /Catalog /Pages 3 0 R >>"},
        {3, "<< /Type /Pages /Kids [5 0 R 4 0 R 7 0 R 6 0 R] >>"},
        {4, "<< /Type /Page >>"},
        {5, "<< /Type /Pages /Kids [8 0 R null 9 0 R] >>"},
        {6, "<< /Type /Page >>"},
        {7, "<< /Kind /Page >>"}, // no type: not a page
        {8, "<< /Type /Page >>"},
        {9, "<< /Type /Page >>"},
    };
    Outcome out = Read(ClassicFile(objects));
    ASSERT_EQ(out.doc.PageCount(), 4);
    std::vector<int> order;
    for (const auto& page : out.doc.pages)
        order.push_back(page.object_number);
    EXPECT_EQ(order, (std::vector<int>{8, 9, 4, 6}));
    EXPECT_TRUE(out.report.errors.empty());

    // A chain of page-tree nodes deeper than any real file: the walk stops, pages found stay.
    Objects deep = {{1, "<< /Type /Catalog /Pages 2 0 R >>"}};
    const int depth = 400;
    for (int n = 2; n < 2 + depth; ++n) {
        deep[n] = "<< /Type /Pages /Kids [" + std::to_string(n + 1000) + " 0 R " +
                  std::to_string(n + 1) + " 0 R] >>";
        deep[n + 1000] = "<< /Type /Page >>";
    }
    deep[2 + depth] = "<< /Type /Page >>";
    out = Read(ClassicFile(deep));
    EXPECT_EQ(Numbers(out.report), std::vector<int>{321});
    EXPECT_EQ(out.doc.PageCount(), pagora::detail::kMaxPageTreeDepth);
}

TEST(SourceDocument, PdfAMarks) {
    const std::string xmp =
        "<x:xmpmeta><rdf:Description xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" "
        "pdfaid:part=\"1\"/></x:xmpmeta>";
    const std::string packed = Deflate(xmp);
    const std::string plain = "<x:xmpmeta/>";
    struct Case {
        const char* name;
        std::string catalog_extra;
        Objects extra;
        bool pdfa;
    };
    const Case cases[] = {
        {"plain metadata",
         "/Metadata 8 0 R",
         {{8, "<< /Type /Metadata /Length " + std::to_string(xmp.size()) + " >>\nstream\n" + xmp +
                  "\nendstream"}},
         true},
        {"length on its own line",
         "/Metadata 8 0 R",
         {{8, "<< /Type /Metadata /Length\n" + std::to_string(xmp.size()) + " >>\nstream\r\n" +
                  xmp + "\nendstream"}},
         true},
        {"compressed metadata",
         "/Metadata 8 0 R",
         {{8, "<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" +
                  packed + "\nendstream"}},
         false},
        {"metadata without the schema wins over intents",
         "/Metadata 8 0 R /OutputIntents [<< /S /GTS_PDFA1 >>]",
         {{8,
           "<< /Length " + std::to_string(plain.size()) + " >>\nstream\n" + plain + "\nendstream"}},
         false},
        {"inline intent", "/OutputIntents [<< /Type /OutputIntent /S /GTS_PDFA1 >>]", {}, true},
        {"referenced intent", "/OutputIntents [9 0 R]", {{9, "<< /S /GTS_PDFA1 >>"}}, true},
        {"intents array referenced",
         "/OutputIntents 10 0 R",
         {{9, "<< /S /GTS_PDFA1 >>"}, {10, "[9 0 R]"}},
         true},
        {"other intent", "/OutputIntents [9 0 R]", {{9, "<< /S /GTS_PDFX >>"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Objects objects = kOnePage;
        objects[1] = "<< /Type /Catalog /Pages 3 0 R " + c.catalog_extra + " >>";
        for (const auto& [n, body] : c.extra)
            objects[n] = body;
        const Outcome out = Read(ClassicFile(objects));
        EXPECT_EQ(out.doc.pdfa, c.pdfa);
        EXPECT_TRUE(out.report.errors.empty());
        EXPECT_EQ(out.doc.PageCount(), 1);
    }
}

TEST(SourceDocument, AnEntryPointingAtAnotherObjectIsRefused) {
    std::string file = ClassicFile(kOnePage, "/Root 1 0 R /Info 2 0 R");
    // Object 2's entry made to point at object 4's header.
    const std::string at4 = std::to_string(file.find("4 0 obj"));
    const std::string at2 = std::to_string(file.find("2 0 obj"));
    const std::string entry2 = std::string(10 - at2.size(), '0') + at2 + " 00000 n";
    const std::string entry4 = std::string(10 - at4.size(), '0') + at4 + " 00000 n";
    file.replace(file.find(entry2), entry2.size(), entry4);
    const Outcome out = Read(file);
    EXPECT_EQ(Numbers(out.report), std::vector<int>{321});
    EXPECT_EQ(out.doc.title, "");
    EXPECT_EQ(out.doc.PageCount(), 1);
}

TEST(SourceDocument, ReopeningAChangedFileIsRefused) {
    testing_support::TempDir dir;
    const std::string path = dir.File("a.pdf");
    const std::string file = ClassicFile(kOnePage);
    testing_support::WriteFileBytes(path, file);
    SourceDocRecord doc;
    doc.path = path;
    ASSERT_TRUE(pagora::detail::StampFile(path, doc.stamp));
    EXPECT_NE(pagora::detail::ReopenSource(doc, "GetInfoPage"), nullptr);
    testing_support::WriteFileBytes(path, file + "%");
    try {
        pagora::detail::ReopenSource(doc, "GetInfoPage");
        ADD_FAILURE() << "no error";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 321);
        EXPECT_EQ(error.Source(), "Pagora.GetInfoPage");
    }
    std::filesystem::remove(path);
    try {
        pagora::detail::ReopenSource(doc, "GetInfoPage");
        ADD_FAILURE() << "no error";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 53);
    }
}

} // namespace
