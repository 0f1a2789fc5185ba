// Fuzz target: the EPS and Illustrator converter over arbitrary bytes. Whatever the file holds,
// the lines it gives must be whole path objects of harmless operators, and a refused file gives
// none.
#include "pdf/content/eps_converter.h"
#include "tests/fuzz/content_paths.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const pagora::detail::EpsDrawing drawing = pagora::detail::ConvertEps({data, size});
    if (drawing.error != 0) {
        if (!drawing.content.empty()) std::abort();
        return 0;
    }
    if (drawing.width == 0 || drawing.height == 0) std::abort();
    const std::string fault = fuzz_check::PathObjectFault(drawing.content);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
