// Fuzz target: the metafile converter over arbitrary bytes. The walk must end, stay inside the
// data, and give whole path objects of harmless operators, with the transform's place inside
// the content.
#include "pdf/content/wmf_converter.h"
#include "tests/fuzz/content_paths.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::string, 256> components = [] {
        std::array<std::string, 256> texts;
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i] = std::to_string(i);
        return texts;
    }();
    const pagora::detail::WmfDrawing drawing = pagora::detail::ConvertWmf({data, size}, components);
    if (drawing.error == 53 && !drawing.content.empty()) std::abort();
    if (drawing.transform_at > drawing.content.size()) std::abort();
    const std::string fault = fuzz_check::PathObjectFault(drawing.content);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
