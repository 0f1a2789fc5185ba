// The document's tail: shared resources, page objects, page tree, output intent, catalog,
// information dictionary, cross-reference table and trailer.
#include "pdf/writer/writer.h"

#include "pdf/content/content.h"
#include "pdf/writer/attachments.h"
#include "pdf/writer/document_metadata.h"
#include "pdf/writer/members.h"
#include "pdf/writer/outlines.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/protection.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace pagora {
namespace {

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

// Object 3 without its closing: the resources that every content stream may name.
std::string CommonResources(const detail::WriterState& s, bool has_images,
                            const std::string& properties) {
    std::string text = "<< ";
    if (!s.font_resources.empty()) text += "/Font <<\r" + s.font_resources + ">>\r";
    text += "/ProcSet [/PDF /Text";
    if (has_images || s.imports_pages) text += " /ImageB /ImageC /ImageI";
    text += "]\r";
    if (!properties.empty()) text += "/Properties <<" + properties + ">>\r";
    if (!s.xobject_resources.empty()) text += "/XObject <<\r" + s.xobject_resources + ">>\r";
    if (!s.ext_gstate_resources.empty())
        text += "/ExtGState << " + s.ext_gstate_resources + " >>\r";
    return text;
}

// Pages whose placeholders no reusable object replaced keep no "##alias##" token, which is no
// valid PDF syntax.
std::string StripPlaceholders(const std::string& annots) {
    std::string out;
    std::size_t pos = 0;
    while (pos < annots.size()) {
        const std::size_t open = annots.find("##", pos);
        if (open == std::string::npos) break;
        const std::size_t close = annots.find("##", open + 2);
        if (close == std::string::npos) break;
        out.append(annots, pos, open - pos);
        pos = close + 2;
        if (pos < annots.size() && annots[pos] == ' ') ++pos;
    }
    out.append(annots, pos, std::string::npos);
    return out;
}

void WriteOutputIntent(detail::WriterState& s, int& intent) {
    intent = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(
        s, "<<\r/Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier (Custom) "
           "/Info (AdobeRGB1998) /DestOutputProfile " +
               Ref(intent + 1) + "\r>>");
    detail::EndIndirectObject(s);
    detail::BeginIndirectObject(s, intent + 1);
    detail::WriteFileLine(s, "<</N 3 ");
    std::string profile = detail::BuildOutputIntentProfile();
    detail::WriteStream(s, profile, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
}

void WriteCatalogLines(detail::WriterState& s, int intent, int metadata,
                       const detail::DocumentScriptObjects& scripts) {
    if (intent != 0) detail::WriteFileLine(s, "/OutputIntents [" + Ref(intent) + "]");
    detail::WriteNavigationCatalogLines(s);
    if (!s.page_labels.empty()) {
        detail::WriteFileLine(s, "/PageLabels << /Nums [ " + detail::PageLabelNumbers(s) + " ] >>");
    }
    detail::WriteFileLine(s, "/Metadata " + Ref(metadata));
    detail::WriteScriptCatalogLines(s, scripts);
    if (!s.field_refs.empty()) {
        // An archival document's widgets carry their appearances: viewers must not draw them.
        const char* need = s.pdfa_mode ? "" : "/NeedAppearances true ";
        detail::WriteFileLine(s, "/AcroForm <<" + std::string(need) + "/Fields [" + s.field_refs +
                                     "] /CO [" + s.calculation_order + "] /DR << /Font <<\r" +
                                     s.font_resources + ">> >> >>");
    }
    const auto prefs = static_cast<std::uint32_t>(s.viewer_preferences);
    switch (prefs & 0xFFFFE000u) {
    case 0x4000u:
        detail::WriteFileLine(s, "/PageLayout /OneColumn");
        break;
    case 0x10000u:
        detail::WriteFileLine(s, "/PageLayout /TwoColumnRight");
        break;
    // Two columns with odd pages left: the sign-widened 16-bit word, or the plain bit.
    case 0xFFFF8000u:
    case 0x8000u:
        detail::WriteFileLine(s, "/PageLayout /TwoColumnLeft");
        break;
    default:
        break;
    }
    switch (prefs & 0x1Fu) {
    case 1:
        detail::WriteFileLine(s, "/PageMode /FullScreen");
        break;
    case 2:
        if (s.bookmarks.size() >= 2) detail::WriteFileLine(s, "/PageMode /UseOutlines");
        break;
    case 4:
        detail::WriteFileLine(s, "/PageMode /UseThumbs");
        break;
    case 8:
        detail::WriteFileLine(s, "/PageMode /UseOC");
        detail::RequireVersion(s, 2);
        break;
    case 16:
        detail::WriteFileLine(s, "/PageMode /UseAttachments");
        detail::RequireVersion(s, 3);
        break;
    default:
        break;
    }
    std::string line = "/ViewerPreferences << ";
    if (prefs & 0x20u) line += "/HideMenubar true ";
    if (prefs & 0x40u) line += "/HideToolbar true ";
    if (prefs & 0x80u) line += "/HideWindowUI true ";
    if (prefs & 0x100u) {
        line += "/DisplayDocTitle true ";
        detail::RequireVersion(s, 1);
    }
    if (prefs & 0x200u) line += "/CenterWindow true ";
    if (prefs & 0x1000u) line += "/FitWindow true ";
    detail::WriteFileLine(s, line + " >>");
}

int WriteMetadata(detail::WriterState& s) {
    std::string packet = detail::BuildXmpMetadata(s);
    const int metadata = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, "<< /Type /Metadata /Subtype /XML");
    detail::WriteStream(s, packet, 0, "none", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
    return metadata;
}

// Shared resources: object 3 for tiling patterns, object 2 for the pages.
void WriteSharedResources(detail::WriterState& s, bool has_images, const std::string& properties) {
    const std::string common = CommonResources(s, has_images, properties);
    detail::BeginIndirectObject(s, 3);
    detail::WriteFileLine(s, common + ">>");
    detail::EndIndirectObject(s);
    std::string page_resources = common;
    if (!s.pattern_resources.empty()) {
        // An archival document gives every colour in RGB or grey: it names no CMYK space,
        // which its RGB output profile could not hold.
        const char* cmyk = s.pdfa_mode ? "" : "/CS-CMYK [ /Pattern /DeviceCMYK ] ";
        page_resources += "/ColorSpace << /CS-RGB [ /Pattern /DeviceRGB ] " + std::string(cmyk) +
                          "/CS-GRAY [ /Pattern /DeviceGray ] >> \r/Pattern <<\r" +
                          s.pattern_resources + ">>\r";
    }
    detail::BeginIndirectObject(s, 2);
    detail::WriteFileLine(s, page_resources + ">>");
    detail::EndIndirectObject(s);
}

// Page objects in page order, then the page tree.
void WritePages(detail::WriterState& s) {
    std::string kids;
    for (const std::size_t index : s.page_order) {
        const detail::PageRecord& page = s.pages[index];
        const int n = detail::BeginIndirectObject(s, page.object_number);
        std::string contents = Ref(n + 1) + " ";
        if (!page.extra_contents.empty()) contents = "[" + contents + page.extra_contents + "] ";
        detail::WriteFileLine(s, "<< /Type /Page /Contents " + contents);
        const std::string annots =
            page.has_placeholders ? StripPlaceholders(page.annots) : page.annots;
        if (!annots.empty()) detail::WriteFileLine(s, "/Annots [ " + annots + " ] ");
        detail::WriteFileLine(s, page.dictionary);
        detail::EndIndirectObject(s);
        kids += Ref(n) + " ";
    }
    detail::BeginIndirectObject(s, 1);
    detail::WriteFileLine(s, "<<\r/Type /Pages /Count " + std::to_string(s.pages.size()) +
                                 "\r/Kids [" + kids + "] \r>>");
    detail::EndIndirectObject(s);
}

int WriteInformation(detail::WriterState& s) {
    const int info = detail::BeginIndirectObject(s, 0);
    const auto property = [&s](const std::string& value) {
        return detail::FormatLiteral(s, detail::PdfaInfoText(s, value));
    };
    detail::WriteFileLine(
        s, "<<\r/Title " + property(s.title) + "\r/Author " + property(s.author) + "\r/Creator " +
               property(s.creator) + "\r/Producer " + property(s.producer) + "\r/CreationDate " +
               detail::FormatLiteral(s, s.creation_date) + "\r/Subject " + property(s.subject) +
               "\r/Keywords " + property(s.keywords) + "\r>>");
    detail::EndIndirectObject(s);
    return info;
}

// Cross-reference table: a number that no object took is a free entry, so every row keeps its
// 20 bytes. Returns the table's offset.
std::int64_t WriteCrossReference(detail::WriterState& s) {
    const std::int64_t xref_offset = s.output_position;
    detail::WriteFileLine(s, "xref\n0 " + std::to_string(s.last_object_number + 1) +
                                 "\n0000000000 65535 f\r");
    for (int n = 1; n <= s.last_object_number; ++n) {
        const auto index = static_cast<std::size_t>(n);
        const std::int64_t offset = index < s.object_offsets.size() ? s.object_offsets[index] : -1;
        if (offset < 0) {
            detail::WriteFileLine(s, "0000000000 65535 f\r");
            continue;
        }
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010lld 00000 n\r", static_cast<long long>(offset));
        detail::WriteFileLine(s, entry);
    }
    return xref_offset;
}

void WriteTrailer(detail::WriterState& s, int info, int catalog, int encrypt,
                  std::int64_t xref_offset) {
    std::string id;
    for (const char c : s.file_id) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        id += hex;
    }
    detail::WriteFileLine(s, "trailer\n<< /Size " + std::to_string(s.last_object_number + 1) +
                                 " /Info " + Ref(info) + " /Root " + Ref(catalog));
    detail::WriteFileLine(s, "/ID [<" + id + "><" + id + ">] ");
    if (encrypt != 0) detail::WriteFileLine(s, "/Encrypt " + Ref(encrypt) + " ");
    detail::WriteFileLine(s, ">>\nstartxref\n" + std::to_string(xref_offset) + "\n%%EOF");
}

// The header line keeps its nine bytes. Levels count 1.x by their minor version and later
// versions by tens (2.0 is 20): PDF 1.x ends at 1.7, so a level between 1.7 and 2.0 (only a
// source file can claim one) declares 1.7, and 2.0 or later declares 2.0, the latest version
// there is.
void RewriteHeaderVersion(detail::WriterState& s) {
    const int level = 3 + s.version_level;
    const std::string version = level >= 20 ? "2.0"
                                : level > 7 ? "1.7"
                                            : "1." + std::to_string(level);
    std::FILE* file = s.output.get();
    errno = 0;
    if (std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        detail::RaiseError(detail::WriteFailureNumber(), "EndDoc");
    }
    const std::string header = "%PDF-" + version + "\n";
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size()) {
        detail::RaiseError(detail::WriteFailureNumber(), "EndDoc");
    }
}

} // namespace

void Pagora::EndDoc() try {
    auto& s = m_->writer;
    // Writing without an open file fails before anything else changes.
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "EndDoc");
    if (s.pages.empty()) BeginPage(0);
    EndPage(); // closes an open page or overlay

    detail::WriteNavigation(s);
    // The encryption dictionary follows the outlines and named destinations.
    const int encrypt = s.encrypted ? detail::WriteEncryptionDictionary(s) : 0;
    const detail::DocumentScriptObjects scripts = detail::WriteDocumentScripts(s);
    const detail::LayerOutput layers = detail::WriteLayerObjects(*m_);
    const int metadata = WriteMetadata(s);
    WriteSharedResources(s, !m_->content.images.images.empty(), layers.properties);
    WritePages(s);

    int intent = 0;
    if (s.pdfa_mode && !s.pdfa_broken) WriteOutputIntent(s, intent);

    const int catalog = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, "<< /Type /Catalog\r/Pages 1 0 R");
    WriteCatalogLines(s, intent, metadata, scripts);
    detail::WriteLayerCatalogLine(*m_, layers);
    detail::WriteFileLine(s, ">>");
    detail::EndIndirectObject(s);

    const int info = WriteInformation(s);
    const std::int64_t xref_offset = WriteCrossReference(s);
    WriteTrailer(s, info, catalog, encrypt, xref_offset);
    if (s.version_level != 0) RewriteHeaderVersion(s);
    s.final_file_size = s.output_position;
    // The last buffered bytes reach the disk here: a full disk shows as the close failing.
    errno = 0;
    const bool closed = std::fclose(s.output.release()) == 0;
    s.output_file_number = 0;
    if (!closed) detail::RaiseError(detail::WriteFailureNumber(), "EndDoc");
} catch (...) {
    detail::RethrowFailure("EndDoc");
}

} // namespace pagora
