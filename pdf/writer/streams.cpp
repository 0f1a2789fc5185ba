// Stream objects: the filter chain of each stream kind, the stream dictionary's tail and data.
#include "pdf/writer/writer.h"

#include "pdf/writer/members.h"
#include "pdf/writer/protection.h"
#include "pdf/writer/stream_encoders.h"

namespace pagora::detail {
namespace {

struct KindSettings {
    int filters;
    int level;
};

KindSettings SettingsOf(const WriterState& s, StreamKind kind) {
    switch (kind) {
    case StreamKind::kImage:
        return {s.image_filters, s.image_level};
    case StreamKind::kFile:
        return {s.file_filters, s.file_level};
    default:
        return {s.content_filters, s.content_level};
    }
}

// Runs one encoder when its flag is set and names its filter in front of the list.
void Encode(std::string& data, std::string& list, const KindSettings& settings,
            StreamEncoder encoder, const char* name) {
    if ((settings.filters & static_cast<int>(encoder)) == 0) return;
    if (ApplyStreamEncoder(encoder, data, settings.level)) list = name + list;
}

} // namespace

void WriteStream(WriterState& s, std::string& data, int object_number, std::string_view filter_text,
                 int length1, StreamKind kind) {
    const KindSettings settings = SettingsOf(s, kind);
    // "none" keeps the data as it is, the ASCII encoders included: an ASCII filter named in front
    // of "none" would make the list invalid, and the metadata stream that passes "none" must stay
    // unfiltered for PDF/A.
    std::string list;
    if (filter_text != "none") {
        list = std::string(filter_text);
        if (filter_text.empty()) {
            Encode(data, list, settings, StreamEncoder::kRunLength, "/RunLengthDecode ");
            Encode(data, list, settings, StreamEncoder::kFlate, "/FlateDecode ");
            if (!s.pdfa_mode) Encode(data, list, settings, StreamEncoder::kLzw, "/LZWDecode ");
        }
        Encode(data, list, settings, StreamEncoder::kAscii85, "/ASCII85Decode ");
        Encode(data, list, settings, StreamEncoder::kAsciiHex, "/ASCIIHexDecode ");
    }
    if (s.encrypted) {
        if (object_number == 0) object_number = s.kept.current_object;
        if (!data.empty()) EncipherForObject(s, object_number, data);
    }
    if (!list.empty()) {
        if (list.find(' ') != std::string::npos) list = "[" + list + "]";
        WriteFileLine(s, "/Filter " + list);
    }
    if (length1 > 0) WriteFileLine(s, "/Length1 " + std::to_string(length1));
    WriteFileLine(s, "/Length " + std::to_string(data.size()) + " >>\rstream");
    if (!data.empty()) WriteFileLine(s, data);
    WriteFileLine(s, "endstream");
}

int WriteTextStream(WriterState& s, std::string_view text) {
    const int number = BeginIndirectObject(s, 0);
    WriteFileLine(s, "<<");
    std::string data(text);
    WriteStream(s, data, 0, "", 0, StreamKind::kContent);
    EndIndirectObject(s);
    return number;
}

} // namespace pagora::detail

namespace pagora {

void Pagora::SetCompression(int ForText, int ForImage, int ForEmbeddedFile) try {
    auto& s = m_->writer;
    s.content_filters = ForText & 0xFF;
    s.content_level = (ForText & 0xF00) >> 8;
    s.image_filters = ForImage & 0xFF;
    s.image_level = (ForImage & 0xF00) >> 8;
    s.file_filters = ForEmbeddedFile & 0xFF;
    s.file_level = (ForEmbeddedFile & 0xF00) >> 8;
} catch (...) {
    detail::RethrowFailure("SetCompression");
}

} // namespace pagora
