// Fuzz target: the scanner over arbitrary text. Every reader must end, raise only the reader's
// run-time errors and leave the cursor inside or just past the text; the value parser must make
// progress whenever it returns a value.
#include "pdf/import/scanner.h"

#include "pdf/writer/Pagora.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

void CheckCursor(const ScanState& scan) {
    if (scan.pos < 0 || scan.pos > ScanLength(scan) + 1) std::abort();
}

template <typename F> void Guarded(F&& f) {
    try {
        f();
    } catch (const pagora::PdfError& error) {
        const int n = error.Number();
        if (n != 6 && n != 13 && n != 321) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ScanState scan;
    ScanSetSource(scan, text);
    // Values one after the other, as a reader walks a dictionary.
    for (int steps = 0; steps < 10000 && scan.pos < ScanLength(scan); ++steps) {
        const std::int32_t before = scan.pos;
        bool failed = false;
        Guarded([&] {
            failed = true;
            const std::string value = ParseValue(scan);
            failed = false;
            if (!value.empty() && scan.pos <= before) std::abort();
        });
        CheckCursor(scan);
        if (failed || scan.pos == before) ScanAdvance(scan, 1);
    }
    for (const char* key : {"Type", "Length ", "Kids"}) {
        ScanSetSource(scan, text);
        std::int32_t start = 0;
        if (FindKey(scan, key, start)) {
            CheckCursor(scan);
            std::vector<std::int32_t> numbers;
            Guarded([&] { ReadReferenceList(scan, numbers); });
            CheckCursor(scan);
        }
    }
    std::vector<std::int32_t> numbers;
    Guarded([&] { ParseReferenceArray(text, numbers); });
    UnescapeLiteral(text);
    return 0;
}
