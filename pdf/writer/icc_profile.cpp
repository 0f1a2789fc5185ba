// The colour profile of the PDF/A output intent: the Adobe RGB (1998) colour space as a version 2
// matrix and curve display profile, built from the space's published primaries (adapted to
// the D50 connection space), its D65 white point and its gamma of 563/256.
#include "pdf/writer/document_metadata.h"
#include "pdf/writer/writer.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace pagora::detail {
namespace {

class IccWriter {
public:
    void U8(unsigned value) { bytes_ += static_cast<char>(value & 0xFF); }
    void U16(unsigned value) {
        U8(value >> 8);
        U8(value);
    }
    void U32(std::uint32_t value) {
        U16(value >> 16);
        U16(value & 0xFFFF);
    }
    void Sig(const char (&text)[5]) { bytes_.append(text, 4); }
    void S15Fixed16(double value) {
        U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 65536.0))));
    }
    void Zeros(std::size_t n) { bytes_.append(n, '\0'); }
    void Align() { Zeros((4 - bytes_.size() % 4) % 4); }
    std::size_t Size() const { return bytes_.size(); }
    std::string& Bytes() { return bytes_; }

private:
    std::string bytes_;
};

struct Tag {
    const char* signature;
    std::string data;
};

std::string XyzTag(double x, double y, double z) {
    IccWriter w;
    w.Sig("XYZ ");
    w.Zeros(4);
    w.S15Fixed16(x);
    w.S15Fixed16(y);
    w.S15Fixed16(z);
    return w.Bytes();
}

std::string TextTag(const std::string& text) {
    IccWriter w;
    w.Sig("text");
    w.Zeros(4);
    w.Bytes() += text;
    w.Zeros(1);
    return w.Bytes();
}

std::string DescriptionTag(const std::string& text) {
    IccWriter w;
    w.Sig("desc");
    w.Zeros(4);
    w.U32(static_cast<std::uint32_t>(text.size() + 1));
    w.Bytes() += text;
    w.Zeros(1);
    w.Zeros(4 + 4);      // no Unicode description
    w.Zeros(2 + 1 + 67); // no ScriptCode description
    return w.Bytes();
}

std::string GammaTag(double gamma) {
    IccWriter w;
    w.Sig("curv");
    w.Zeros(4);
    w.U32(1);
    w.U16(static_cast<unsigned>(std::lround(gamma * 256.0))); // u8Fixed8
    return w.Bytes();
}

} // namespace

std::string BuildOutputIntentProfile() {
    const std::string gamma = GammaTag(563.0 / 256.0);
    const std::vector<Tag> tags = {
        {"desc", DescriptionTag("AdobeRGB1998 compatible")},
        {"cprt", TextTag("No copyright, use freely")},
        {"wtpt", XyzTag(0.95045, 1.0, 1.08905)},
        {"rXYZ", XyzTag(0.60974, 0.31111, 0.01947)},
        {"gXYZ", XyzTag(0.20528, 0.62567, 0.06087)},
        {"bXYZ", XyzTag(0.14919, 0.06322, 0.74457)},
        {"rTRC", gamma},
        {"gTRC", gamma},
        {"bTRC", gamma},
    };
    // Tag data after the header and the tag table, each aligned to four bytes; the three curves
    // share one block.
    std::size_t offset = 128 + 4 + 12 * tags.size();
    std::vector<std::size_t> offsets;
    std::string data;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (i > 0 && tags[i].data == tags[i - 1].data && tags[i].signature[1] == 'T') {
            offsets.push_back(offsets.back());
            continue;
        }
        offsets.push_back(offset + data.size());
        data += tags[i].data;
        data.append((4 - data.size() % 4) % 4, '\0');
    }
    const std::size_t total = offset + data.size();

    IccWriter w;
    w.U32(static_cast<std::uint32_t>(total));
    w.Zeros(4);         // preferred colour management module: none
    w.U32(0x02100000u); // version 2.1
    w.Sig("mntr");
    w.Sig("RGB ");
    w.Sig("XYZ ");
    for (const unsigned field : {2026u, 1u, 1u, 0u, 0u, 0u})
        w.U16(field);
    w.Sig("acsp");
    w.Zeros(4 + 4 + 4 + 4 + 8); // platform, flags, manufacturer, model, attributes
    w.U32(0);                   // perceptual intent
    w.S15Fixed16(0.9642);       // D50 illuminant of the connection space
    w.S15Fixed16(1.0);
    w.S15Fixed16(0.8249);
    w.Zeros(4); // creator
    w.Zeros(128 - w.Size());
    w.U32(static_cast<std::uint32_t>(tags.size()));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const std::string& signature = tags[i].signature;
        w.Bytes() += signature;
        w.U32(static_cast<std::uint32_t>(offsets[i]));
        w.U32(static_cast<std::uint32_t>(tags[i].data.size()));
    }
    w.Bytes() += data;
    return w.Bytes();
}

} // namespace pagora::detail
