// A document with annotations or form fields, plain or protected (the parameter), read back by
// pikepdf through form_report.py.
#pragma once

#include "tests/pdf/writer/writer_fixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace writer_test {

class AnnotationFixture : public WriterTest, public ::testing::WithParamInterface<bool> {
protected:
    // Opens the document (protected without a user password, so that the tools open it) with
    // a current font.
    void Begin() {
        if (GetParam()) pdf_.SetProtection(0x1004);
        pdf_.BeginDoc(Path());
        pdf_.SetFont("Helvetica", 12);
    }

    // Ends the document, checks it with the tools and returns the report's lines.
    std::vector<std::string> Finish() {
        pdf_.EndDoc();
        EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
        ExpectValidPdf();
        const auto report = Run("/usr/bin/python3 '" + testing_support::SourceDir() +
                                "/tests/pdf/writer/form_report.py' %f 2>&1");
        EXPECT_EQ(report.status, 0) << report.out;
        std::vector<std::string> lines;
        std::istringstream in(report.out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

} // namespace writer_test
