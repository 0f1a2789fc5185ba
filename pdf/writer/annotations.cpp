// Annotations: free-text notes, note icons, stamps, file attachments, and the writer that
// completes and registers every annotation object.
#include "pdf/writer/annotations.h"

#include "pdf/writer/annotation_geometry.h"
#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pagora {
namespace detail {

std::string AnnotationPoint(const WriterState& s, float x, float y) {
    return FormatReal(s, x * s.scale_factor) + " " +
           FormatReal(s, s.page_height - y * s.scale_factor);
}

std::string AnnotationRect(const WriterState& s, float x, float y, float width, float height) {
    const float x1 = x * s.scale_factor;
    const float y1 = s.page_height - y * s.scale_factor;
    return FormatReal(s, x1) + " " + FormatReal(s, y1) + " " +
           FormatReal(s, x1 + width * s.scale_factor) + " " +
           FormatReal(s, y1 - height * s.scale_factor);
}

bool IsPlainColor(std::string_view color) {
    return !color.empty() && (color[0] == '#' || color[0] == '@' || color[0] == '%');
}

std::string ColorComponents(std::string_view color) {
    return std::string(color.substr(1));
}

namespace {

// The file name that an attachment shows: the path after its last folder separator, or after
// a drive's ":".
std::string AttachmentName(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) cut = path.rfind(':');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

void WriteAnnotation(WriterState& s, std::string& annotation, std::string_view contents,
                     std::string_view title, std::string_view appearance, std::string_view link,
                     bool embed) {
    // The file is read before the annotation refers to it: a failed read writes nothing.
    std::string file_bytes;
    if (embed && !ReadWholeFile(std::string(link), file_bytes))
        RaiseError(kErrPathFileAccess, "WriteAnnotation");

    const int n = BeginIndirectObject(s, 0);
    if (!title.empty()) annotation += " /T " + FormatLiteral(s, title);
    if (!contents.empty()) annotation += " /Contents " + FormatLiteral(s, contents);
    if (!appearance.empty()) annotation += " /DA " + FormatLiteral(s, appearance);
    if (embed) {
        annotation += " /FS << /Type /Filespec /F " + FormatLiteral(s, AttachmentName(link)) +
                      " /EF << /F " + std::to_string(n + 1) + " 0 R >> >>";
    } else if (!link.empty()) {
        if (link.starts_with("file:")) {
            annotation += " /A << /Type /Action /S /GoToR /F " + FormatLiteral(s, link.substr(5)) +
                          " /D [-1 /XYZ 0 0 0] >> ";
        } else {
            annotation += " /A << /S /URI /URI " + FormatLiteral(s, link) + " >> ";
        }
    }
    WriteFileLine(s, annotation + " >>");
    EndIndirectObject(s);

    if (embed) {
        BeginIndirectObject(s, n + 1);
        WriteFileLine(s, "<< /Type /EmbeddedFile ");
        WriteStream(s, file_bytes, 0, "", 0, StreamKind::kFile);
        EndIndirectObject(s);
    }

    const std::string reference = std::to_string(n) + " 0 R ";
    if (s.in_object) {
        s.object_annots += reference;
    } else {
        s.page_annots += reference;
    }
}

} // namespace detail

void Pagora::DrawNote(const std::string& Text, float X, float Y, float Width, float Height,
                      std::int32_t TextAlign, std::int32_t Border, float DashOn, float DashOff,
                      std::int32_t Flag) try {
    auto& s = m_->writer;
    const auto& c = m_->content;
    std::string text = "<< /Type /Annot /Subtype /FreeText\r/Rect [" +
                       detail::AnnotationRect(s, X, Y, Width, Height) + "]\r /F " +
                       std::to_string(detail::PdfaAnnotationFlags(s, Flag));
    if (TextAlign == 2) {
        text += "\r/Q 2";
    } else if (TextAlign == 4) {
        text += "\r/Q 1";
    }
    // The appearance names the current font and gives the colour operands bare: an array
    // operand, or a size without a font, is no valid appearance text.
    std::string appearance;
    if (!m_->fonts.kept.font_resource_name.empty())
        appearance =
            detail::FormatName(s.resource_prefix + m_->fonts.kept.font_resource_name) + " ";
    appearance += detail::FormatReal(s, m_->fonts.font_size) + " Tf";
    if (!c.no_stroke && detail::IsPlainColor(c.line_color)) {
        static constexpr std::array<const char*, 3> kOperators = {" rg", " k", " g"};
        const std::size_t kind = c.line_color[0] == '#' ? 0 : c.line_color[0] == '@' ? 1 : 2;
        appearance += " " + detail::ColorComponents(c.line_color) + kOperators[kind];
    }
    if (!c.no_fill && detail::IsPlainColor(c.AppearanceFill()))
        text += "\r/C [" + detail::ColorComponents(c.AppearanceFill()) + "]";
    text += "\r/BS << /Type /Border /W " + detail::FormatReal(s, c.kept.line_width);
    switch (Border) {
    case 0:
        text += "/S /S";
        break;
    case 1:
        text += "/S /D /D [" + detail::FormatReal(s, DashOn) + " " +
                detail::FormatReal(s, DashOff) + "]";
        break;
    case 2:
        text += "/S /B";
        break;
    case 3:
        text += "/S /I";
        break;
    case 4:
        text += "/S /U";
        break;
    default:
        break;
    }
    text += ">>\r";
    detail::WriteAnnotation(s, text, Text, s.author, appearance, "", false);
} catch (...) {
    detail::RethrowFailure("DrawNote");
}

void Pagora::DrawPlaceHolder(std::string& Content, std::int32_t PlaceHolder, float X, float Y,
                             float Width, float Height, std::int32_t Flag) try {
    static constexpr std::array<const char*, 7> kNoteIcons = {
        "Note", "Comment", "Help", "Insert", "Key", "Paragraph", "NewParagraph"};
    static constexpr std::array<const char*, 14> kStamps = {"Approved",     "AsIs",
                                                            "Confidential", "Departmental",
                                                            "Draft",        "Experimental",
                                                            "Expired",      "Final",
                                                            "ForComment",   "ForPublicRelease",
                                                            "NotApproved",  "NotForPublicRelease",
                                                            "Sold",         "TopSecret"};
    static constexpr std::array<const char*, 4> kAttachmentIcons = {"PushPin", "Graph", "Paperclip",
                                                                    "Tag"};
    auto& s = m_->writer;
    const auto& c = m_->content;
    // An embedded file is refused before the caller's content is touched.
    if (PlaceHolder >= 512) detail::RefuseInPdfa(s, "DrawPlaceHolder", "an embedded file");
    int flags = detail::PdfaAnnotationFlags(s, Flag);
    // An archived note icon keeps its size and stays upright, whatever the view.
    const bool icon = PlaceHolder < 256 || (PlaceHolder > 269 && PlaceHolder < 512);
    if (s.pdfa_mode && icon) flags |= 8 + 16;
    std::string text = "<< /Type /Annot\r/F " + std::to_string(flags);
    if (!c.no_fill && detail::IsPlainColor(c.AppearanceFill()))
        text += "\r/C [" + detail::ColorComponents(c.AppearanceFill()) + "]";

    if (PlaceHolder >= 256 && PlaceHolder <= 269) {
        text += "\r/Subtype /Stamp\r/Rect [" + detail::AnnotationRect(s, X, Y, Width, Height) +
                "]\r /Name /" + kStamps[static_cast<std::size_t>(PlaceHolder - 256)];
        detail::WriteAnnotation(s, text, Content, s.author, "", "", false);
        return;
    }
    // Icons and attachments sit at a point: a rectangle of no size.
    const std::string at = detail::AnnotationPoint(s, X, Y);
    if (PlaceHolder >= 512) {
        std::string description;
        if (const std::size_t bar = Content.find('|'); bar != std::string::npos) {
            description = Content.substr(bar + 1);
            Content.resize(bar);
        }
        std::error_code error;
        if (!std::filesystem::is_regular_file(Content, error)) return;
        text += "\r/Subtype /FileAttachment \r/Rect [" + at + " " + at + "]";
        if (PlaceHolder <= 515)
            text += "\r /Name /" +
                    std::string(kAttachmentIcons[static_cast<std::size_t>(PlaceHolder - 512)]);
        detail::WriteAnnotation(s, text, description, s.author, "", Content, true);
        return;
    }
    text += "\r/Subtype /Text\r/Rect [" + at + " " + at + "]";
    if (PlaceHolder >= 0 && PlaceHolder <= 6)
        text += "\r /Name /" + std::string(kNoteIcons[static_cast<std::size_t>(PlaceHolder)]);
    detail::WriteAnnotation(s, text, Content, s.author, "", "", false);
} catch (...) {
    detail::RethrowFailure("DrawPlaceHolder");
}

} // namespace pagora
