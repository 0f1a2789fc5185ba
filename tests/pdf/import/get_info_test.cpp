// GetInfo against the independent readers (qpdf, pdfinfo) on files of other producers, and on
// hand-made files with one fault each: every call returns promptly, records what went wrong,
// never raises and never prints.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/import/reader_corpus.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace {

using reader_testing::CorpusFile;
using reader_testing::PdfInfo;
using testing_support::RunCommand;

struct Info {
    std::int32_t pages = -1;
    std::string title = "unset", subject = "unset", author = "unset";
    bool encrypted = false, pdfa = false;
    std::int16_t version = -1;
};

Info ReadInfo(pagora::Pagora& pdf, const std::string& file) {
    Info info;
    info.pages = pdf.GetInfo(file, &info.title, &info.subject, &info.author, &info.encrypted,
                             &info.pdfa, &info.version);
    return info;
}

class GetInfoProducers : public testing::TestWithParam<const char*> {};

TEST_P(GetInfoProducers, AgreesWithQpdfAndPdfinfo) {
    const std::string file = CorpusFile(GetParam());
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    const Info info = ReadInfo(pdf, file);
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();

    const std::string npages = RunCommand("qpdf --show-npages '" + file + "' 2>/dev/null").out;
    EXPECT_EQ(info.pages, std::stoi(npages));
    auto fields = PdfInfo(file);
    EXPECT_EQ(std::to_string(info.pages), fields["Pages"]);
    EXPECT_EQ("1." + std::to_string(info.version), fields["PDF version"]);
    EXPECT_EQ(info.title, fields["Title"]);
    EXPECT_EQ(info.author, fields["Author"]);
    EXPECT_EQ(info.subject, fields["Subject"]);
    EXPECT_FALSE(info.encrypted);
}

// The producers' files: classic tables, object streams, QDF with indirect lengths, linearized
// files (with and without object streams), a forced version, incremental saves of a plain and
// of an object-stream file (the latter adds an unfiltered cross-reference stream), Ghostscript;
// then hand-made forms: 19-byte entries, a hybrid file, a table on top of a stream.
KERBOLT_TEST_LABEL(oracle, "Corpus/GetInfoProducers.*");
INSTANTIATE_TEST_SUITE_P(Corpus, GetInfoProducers,
                         testing::Values("base.pdf", "os.pdf", "qdf.pdf", "lin.pdf", "lin_os.pdf",
                                         "v16.pdf", "inc.pdf", "inc_os.pdf", "gs.pdf", "plain.pdf",
                                         "entries19.pdf", "objstm.pdf", "table_on_stream.pdf",
                                         "hybrid.pdf", "unfiltered_update.pdf"));

KERBOLT_TEST_LABEL(oracle, "GetInfo.UpdatesAndProducersReportTheNewestInformation");
TEST(GetInfo, UpdatesAndProducersReportTheNewestInformation) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    EXPECT_EQ(ReadInfo(pdf, CorpusFile("base.pdf")).title, "Report (draft) 2024");
    EXPECT_EQ(ReadInfo(pdf, CorpusFile("inc.pdf")).title, "Updated title");
    EXPECT_EQ(ReadInfo(pdf, CorpusFile("inc_os.pdf")).title, "Updated title");
    const Info mixed = ReadInfo(pdf, CorpusFile("table_on_stream.pdf"));
    EXPECT_EQ(mixed.title, "New");
    EXPECT_EQ(mixed.author, "Second");
    EXPECT_EQ(ReadInfo(pdf, CorpusFile("v16.pdf")).version, 6);
    EXPECT_EQ(pdf.ErrNumber(), 0);
}

KERBOLT_TEST_LABEL(oracle, "GetInfo.EncryptedFilesAreRefusedAndNotKept");
TEST(GetInfo, EncryptedFilesAreRefusedAndNotKept) {
    for (const char* name : {"enc40.pdf", "enc256.pdf"}) {
        SCOPED_TRACE(name);
        testing_support::TempDir dir;
        const std::string file = dir.File("locked.pdf");
        std::filesystem::copy_file(CorpusFile(name), file);
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        Info info = ReadInfo(pdf, file);
        EXPECT_EQ(info.pages, 0);
        EXPECT_TRUE(info.encrypted);
        EXPECT_EQ(info.title, "unset"); // the other results keep the caller's values
        EXPECT_EQ(info.version, -1);
        EXPECT_EQ(pdf.ErrNumber(), 321);
        EXPECT_EQ(pdf.ErrSource(), "Pagora.GetInfo");
        EXPECT_EQ(pdf.ErrDescription(), "Invalid file format - " + file);
        // Nothing was kept: the same name is read again, now holding a plain file.
        std::filesystem::copy_file(CorpusFile("base.pdf"), file,
                                   std::filesystem::copy_options::overwrite_existing);
        info = ReadInfo(pdf, file);
        EXPECT_EQ(info.pages, 3);
        EXPECT_FALSE(info.encrypted);
    }
}

struct Damaged {
    const char* file;
    std::int32_t pages;
    int error; // 0: nothing recorded
    int messages;
};

class GetInfoDamaged : public testing::TestWithParam<Damaged> {};

TEST_P(GetInfoDamaged, EndsPromptlyWithTheFaultRecorded) {
    const Damaged& c = GetParam();
    auto host = testing_support::MakeFixedHost();
    pagora::Pagora pdf(host);
    const std::string file = CorpusFile(c.file);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Info info;
    EXPECT_NO_THROW(info = ReadInfo(pdf, file));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(info.pages, c.pages);
    EXPECT_EQ(pdf.ErrNumber(), c.error) << pdf.ErrDescription();
    if (c.error != 0) EXPECT_EQ(pdf.ErrSource(), "Pagora.GetInfo");
    EXPECT_EQ(static_cast<int>(host->messages.size()), c.messages);
    for (const auto& message : host->messages)
        EXPECT_EQ(message, "Parsing XRef error");
    // The damaged file stays known: a second call answers the same without reading again.
    EXPECT_EQ(pdf.GetInfo(file), c.pages);
    EXPECT_EQ(static_cast<int>(host->messages.size()), c.messages);
}

KERBOLT_TEST_LABEL(oracle, "Corpus/GetInfoDamaged.*");
INSTANTIATE_TEST_SUITE_P(
    Corpus, GetInfoDamaged,
    testing::Values(Damaged{"self_prev.pdf", 1, 321, 0}, Damaged{"prev_loop.pdf", 1, 321, 0},
                    Damaged{"kids_loop.pdf", 1, 321, 0}, Damaged{"parent_loop.pdf", 1, 0, 0},
                    Damaged{"huge_size.pdf", 1, 0, 0}, Damaged{"huge_subsection.pdf", 0, 321, 0},
                    Damaged{"huge_length.pdf", 1, 62, 0}, Damaged{"free_referenced.pdf", 1, 0, 0},
                    Damaged{"bad_startxref.pdf", 0, 321, 1}, Damaged{"cr_only.pdf", 0, 321, 1},
                    Damaged{"truncated_half.pdf", 0, 321, 1},
                    Damaged{"truncated_tail.pdf", 0, 321, 1},
                    Damaged{"objstm_self_length.pdf", 0, 321, 0}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

KERBOLT_TEST_LABEL(oracle, "GetInfo.ABadSectionIsRecordedWithItsMessage");
TEST(GetInfo, ABadSectionIsRecordedWithItsMessage) {
    auto host = testing_support::MakeFixedHost();
    pagora::Pagora pdf(host);
    const std::string file = CorpusFile("bad_startxref.pdf");
    EXPECT_EQ(pdf.GetInfo(file), 0);
    EXPECT_EQ(pdf.ErrNumber(), 321);
    EXPECT_EQ(pdf.ErrDescription(), "Parsing XRef error - " + file);
    ASSERT_EQ(host->messages.size(), 1u);
}

TEST(GetInfo, MissingFileRecords53AndLeavesNoCurrentDocument) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    testing_support::TempDir dir;
    Info info = ReadInfo(pdf, dir.File("absent.pdf"));
    EXPECT_EQ(info.pages, 0);
    EXPECT_EQ(info.title, "unset");
    EXPECT_EQ(pdf.ErrNumber(), 53);
    EXPECT_EQ(pdf.ErrDescription(), "File not found - " + dir.File("absent.pdf"));
}

KERBOLT_TEST_LABEL(oracle, "GetInfo.OneRecordPerNameUntilAbort");
TEST(GetInfo, OneRecordPerNameUntilAbort) {
    testing_support::TempDir dir;
    const std::string file = dir.File("doc.pdf");
    std::filesystem::copy_file(CorpusFile("base.pdf"), file);
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    EXPECT_EQ(pdf.GetInfo(file), 3);
    // Rewritten on disk: the record answers as before until Abort forgets it.
    std::filesystem::copy_file(CorpusFile("plain.pdf"), file,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(pdf.GetInfo(file), 3);
    pdf.Abort();
    EXPECT_EQ(pdf.GetInfo(file), 1);
#ifndef _WIN32
    // Names differing in case are different files here.
    const std::string upper = dir.File("DOC.pdf");
    std::filesystem::copy_file(CorpusFile("base.pdf"), upper);
    EXPECT_EQ(pdf.GetInfo(upper), 3);
    EXPECT_EQ(pdf.GetInfo(file), 1);
#endif
}

} // namespace
