// The XMP metadata packet that every document carries.
#include "pdf/writer/writer.h"

#include "pdf/fonts/code_pages.h"
#include "pdf/writer/document_metadata.h"

namespace pagora::detail {
namespace {

// A property as XML character data: the document's single-byte text in UTF-8, with the three
// characters XML reserves replaced by their entities and the control characters XML forbids left
// out.
std::string XmlText(std::string_view value) {
    const std::string utf8 = DecodeCodePage(value, 0);
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\t':
        case '\n':
        case '\r':
            out += c;
            break;
        default:
            // Other control characters are not allowed anywhere in an XML document: one in a
            // title would make the whole packet unreadable.
            if (static_cast<unsigned char>(c) >= 0x20) out += c;
        }
    }
    return out;
}

// "D:yyyymmddhhmmss+hh'mm'" as "yyyy-mm-ddThh:mm:ss+hh:mm".
std::string XmpDate(const std::string& d) {
    if (d.size() < 22) return {};
    return d.substr(2, 4) + "-" + d.substr(6, 2) + "-" + d.substr(8, 2) + "T" + d.substr(10, 2) +
           ":" + d.substr(12, 2) + ":" + d.substr(14, 2) + d.substr(16, 3) + ":" + d.substr(20, 2);
}

// The packet of a PDF/A-1B document: the RDF inside its x:xmpmeta element, every description
// about the document under rdf:about, each schema under its own prefix only, and the
// identification of the archive format. Archive checkers read it strictly; the packet of other
// documents keeps its long-standing form.
std::string PdfaPacket(const WriterState& s) {
    const std::string d = XmpDate(s.creation_date);
    std::string x;
    auto line = [&x](const std::string& text) {
        if (!x.empty()) x += '\n';
        x += text;
    };
    line("<?xpacket begin='\xEF\xBB\xBF' id='W5M0MpCehiHzreSzNTczkc9d'?>");
    line("<x:xmpmeta xmlns:x='adobe:ns:meta/'>");
    line("<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>");
    line("  <rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>");
    line("    <dc:format>application/pdf</dc:format>");
    line("    <dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" + XmlText(s.title) +
         "</rdf:li></rdf:Alt></dc:title>");
    line("    <dc:description><rdf:Alt><rdf:li xml:lang='x-default'>" + XmlText(s.subject) +
         "</rdf:li></rdf:Alt></dc:description>");
    line("    <dc:creator><rdf:Seq><rdf:li>" + XmlText(s.author) +
         "</rdf:li></rdf:Seq></dc:creator>");
    line("  </rdf:Description>");
    line("  <rdf:Description rdf:about='' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>");
    line("    <pdf:Producer>" + XmlText(s.producer) + "</pdf:Producer>");
    line("    <pdf:Keywords>" + XmlText(s.keywords) + "</pdf:Keywords>");
    line("  </rdf:Description>");
    line("  <rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/'>");
    line("    <xmp:MetadataDate>" + d + "</xmp:MetadataDate>");
    line("    <xmp:CreateDate>" + d + "</xmp:CreateDate>");
    line("    <xmp:CreatorTool>" + XmlText(s.creator) + "</xmp:CreatorTool>");
    line("  </rdf:Description>");
    line("  <rdf:Description rdf:about='' xmlns:pdfaid='http://www.aiim.org/pdfa/ns/id/'>");
    line("    <pdfaid:part>1</pdfaid:part>");
    line("    <pdfaid:conformance>B</pdfaid:conformance>");
    line("  </rdf:Description>");
    line("</rdf:RDF>");
    line("</x:xmpmeta>");
    line("<?xpacket end='r'?>");
    return x;
}

} // namespace

std::string BuildXmpMetadata(const WriterState& s) {
    if (s.pdfa_mode && !s.pdfa_broken) return PdfaPacket(s);
    const std::string d = XmpDate(s.creation_date);
    const std::string dc = "http://purl.org/dc/elements/1.1/";
    const std::string pdf = "http://ns.adobe.com/pdf/1.3/";
    const std::string xap = "http://ns.adobe.com/xap/1.0/";
    std::string x;
    auto line = [&x](const std::string& text) {
        if (!x.empty()) x += '\r';
        x += text;
    };
    line("<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>");
    line("<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#' "
         "xmlns:iX='http://ns.adobe.com/iX/1.0/'>");
    line("  <rdf:Description about='' xmlns='" + dc + "' xmlns:dc='" + dc + "'>");
    line("     <dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" + XmlText(s.title) +
         "</rdf:li></rdf:Alt></dc:title>");
    line("     <dc:description><rdf:Alt><rdf:li xml:lang='x-default'>" + XmlText(s.subject) +
         "</rdf:li></rdf:Alt></dc:description>");
    line("     <dc:creator><rdf:Seq><rdf:li>" + XmlText(s.author) +
         "</rdf:li></rdf:Seq></dc:creator>");
    line("  </rdf:Description>");
    line("  <rdf:Description about='' xmlns='" + pdf + "' xmlns:pdf='" + pdf + "'>");
    line("     <pdf:Producer>" + XmlText(s.producer) + "</pdf:Producer>");
    line("     <pdf:Keywords>" + XmlText(s.keywords) + "</pdf:Keywords>");
    line("  </rdf:Description>");
    line("  <rdf:Description about='' xmlns='" + xap + "' xmlns:xap='" + xap + "'>");
    line("    <xap:MetadataDate>" + d + "</xap:MetadataDate>");
    line("    <xap:CreateDate>" + d + "</xap:CreateDate>");
    line("    <xap:CreatorTool>" + XmlText(s.creator) + "</xap:CreatorTool>");
    line("  </rdf:Description>");
    line("</rdf:RDF>");
    line("<?xpacket end='r'?>");
    return x;
}

} // namespace pagora::detail
