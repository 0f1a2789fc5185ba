// A document written into a temporary folder with a fixed clock and resource prefix.
#pragma once

#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace writer_test {

class WriterTest : public ::testing::Test {
protected:
    std::string Path() const { return dir_.File("out.pdf"); }
    std::string Bytes() const { return testing_support::ReadFileBytes(Path()); }
    pagora::detail::WriterState& Writer() { return pagora::detail::StateOf(pdf_).writer; }

    // Runs a shell command on the written file ('%f' stands for its path).
    testing_support::CommandResult Run(const std::string& command) const {
        std::string text = command;
        const std::string quoted = "'" + Path() + "'";
        for (std::size_t at = text.find("%f"); at != std::string::npos;
             at = text.find("%f", at + quoted.size())) {
            text.replace(at, 2, quoted);
        }
        return testing_support::RunCommand(text);
    }

    // qpdf exits 0 only when it finds neither errors nor warnings; pdfinfo must read the file.
    void ExpectValidPdf() const {
        const auto check = Run("qpdf --check %f 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
        const auto info = Run("pdfinfo %f 2>&1");
        EXPECT_EQ(info.status, 0) << info.out;
    }

    testing_support::TempDir dir_;
    std::shared_ptr<testing_support::FixedHost> host_ = testing_support::MakeFixedHost();
    pagora::Pagora pdf_{host_};
};

} // namespace writer_test
