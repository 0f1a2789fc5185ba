#include "pdf/writer/Pagora.h"

#include "pdf/writer/members.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::Pagora;
using testing_support::FixedHost;
using testing_support::MakeFixedHost;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;

// qpdf exits 0 only when it finds neither errors nor warnings.
void ExpectValidPdf(const std::string& path) {
    const auto check = RunCommand("qpdf --check '" + path + "' 2>&1");
    EXPECT_EQ(check.status, 0) << check.out;
    const auto info = RunCommand("pdfinfo '" + path + "' 2>&1");
    EXPECT_EQ(info.status, 0) << info.out;
}

TEST(Document, MinimalDocumentMatchesTheGoldenFile) {
    TempDir dir;
    const std::string path = dir.File("minimal.pdf");
    Pagora pdf(MakeFixedHost());
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0);
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes, ReadFileBytes(testing_support::TestDataDir() + "/writer/minimal.pdf"));
    EXPECT_EQ(pdf.FileSize(), static_cast<std::int64_t>(bytes.size()));
    ExpectValidPdf(path);
    // Page 4, content 5, metadata 6, catalog 7, information 8.
    EXPECT_NE(bytes.find("trailer\n<< /Size 9 /Info 8 0 R /Root 7 0 R"), std::string::npos);
    EXPECT_NE(bytes.find("4 0 obj\n<< /Type /Page /Contents 5 0 R \n"), std::string::npos);
    EXPECT_NE(bytes.find("6 0 obj\n<< /Type /Metadata /Subtype /XML"), std::string::npos);
    EXPECT_NE(bytes.find("7 0 obj\n<< /Type /Catalog"), std::string::npos);
}

}  // namespace
