// Form fields: DrawField queues a field of the page being built; the page's end writes one
// widget object per queued field, and the document's end gathers them into the form.
#include "pdf/writer/annotation_geometry.h"

#include "pdf/content/content.h"
#include "pdf/writer/annotations.h"
#include "pdf/writer/field_appearance.h"
#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace pagora {
namespace {

// Param read as a whole number; a text that is no number raises error 13.
std::int32_t ParamNumber(const Pagora::FieldParam& param) {
    if (const auto* number = std::get_if<std::int32_t>(&param)) return *number;
    const std::string& text = std::get<std::string>(param);
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    double value = 0;
    if (first != std::string::npos) {
        const auto [end, error] =
            std::from_chars(text.data() + first, text.data() + last + 1, value);
        if (error != std::errc() || end != text.data() + last + 1 || value < -2147483648.0 ||
            value > 2147483647.0) {
            detail::RaiseError(detail::kErrTypeMismatch, "DrawField");
        }
    } else {
        detail::RaiseError(detail::kErrTypeMismatch, "DrawField");
    }
    return static_cast<std::int32_t>(std::nearbyint(value));
}

// Param as the text of a push button's script; the omitted default (0) is no script.
std::string ParamScript(const Pagora::FieldParam& param) {
    if (const auto* number = std::get_if<std::int32_t>(&param))
        return *number == 0 ? std::string() : std::to_string(*number);
    return std::get<std::string>(param);
}

std::int32_t FieldFlags(std::int32_t options, detail::WriterState& s) {
    struct Bit {
        std::int32_t option;
        std::int32_t flag;
        int version;
    };
    static constexpr Bit kBits[] = {{8, 1, 0},          {16, 4096, 0},     {32, 8192, 0},
                                    {128, 2097152, 0},  {256, 4194304, 1}, {512, 8388608, 1},
                                    {1024, 16777216, 2}};
    std::int32_t flags = 0;
    for (const Bit& bit : kBits) {
        if ((options & bit.option) == 0) continue;
        flags += bit.flag;
        if (bit.version != 0) detail::RequireVersion(s, bit.version);
    }
    return flags;
}

std::string BorderStyle(std::int32_t options) {
    if (options & 131072) return "/S /D /D [ 1 1 ]";
    if (options & 524288) return "/S /I";
    if (options & 262144) return "/S /B";
    if (options & 1048576) return "/S /U";
    return "/S /S";
}

std::string CheckMark(std::int32_t options) {
    if (options & 4194304) return "5";
    if (options & 8388608) return "F";
    if (options & 2097152) return "l";
    if (options & 16777216) return "H";
    if (options & 33554432) return "n";
    return "4";
}

std::string ColorOperator(std::string_view color) {
    if (color.empty()) return "";
    switch (color[0]) {
    case '#':
        return detail::ColorComponents(color) + " rg ";
    case '@':
        return detail::ColorComponents(color) + " k ";
    case '%':
        return detail::ColorComponents(color) + " g ";
    default:
        return "";
    }
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

void Pagora::DrawField(const std::string& FieldName, std::int32_t FieldType, float X, float Y,
                       float xDim, float YDim, const std::string& Value, const FieldParam& Param,
                       const std::string& Tooltip, std::int32_t Options) try {
    // A field of no known type would be a widget without a field type.
    if (FieldType < 0 || FieldType > 5) return;
    detail::RefuseNulName(FieldName, "DrawField");
    auto& s = m_->writer;
    const auto& c = m_->content;

    // Param is read before anything is recorded, so a bad one adds nothing.
    std::int32_t number = 0;
    std::string script;
    if (FieldType == 5) {
        script = ParamScript(Param);
        if (!script.empty()) detail::RefuseInPdfa(s, "DrawField", "a script");
    } else if (FieldType == 0 || FieldType == 2 || FieldType == 3) {
        number = ParamNumber(Param);
    }

    int annotation_flags = (Options & 1) ? 2 : 0;
    if ((Options & 2) == 0) annotation_flags += 4;
    annotation_flags = detail::PdfaAnnotationFlags(s, annotation_flags);
    std::int32_t ff = FieldFlags(Options, s);

    std::string dict = "<< /Type /Annot /Subtype /Widget \r /Rect [ " +
                       detail::AnnotationRect(s, X, Y, xDim, YDim) + "]";
    if (annotation_flags != 0) dict += " /F " + std::to_string(annotation_flags) + " ";

    std::string characteristics;
    if ((Options & 4) == 0 && !c.no_fill && detail::IsPlainColor(c.AppearanceFill()))
        characteristics = " /BG [ " + detail::ColorComponents(c.AppearanceFill()) + " ] ";
    if (!c.line_color.empty() && c.line_color[0] == '#' && !c.no_stroke && (Options & 16384) == 0) {
        const char* width = (Options & 32768) ? "2 " : (Options & 65536) ? "3 " : "1 ";
        dict += "\r/BS << /Type /Border /W " + std::string(width) + BorderStyle(Options) + ">>";
        characteristics =
            " /BC [ " + detail::ColorComponents(c.line_color) + " ] " + characteristics;
    }
    if (Options & 67108864) {
        characteristics += "/R 90 ";
    } else if (Options & 134217728) {
        characteristics += "/R 180 ";
    } else if (Options & 268435456) {
        characteristics += "/R 270 ";
    }

    detail::FormFieldRecord field;
    switch (FieldType) {
    case 0:
        dict += " /FT /Tx /Ff " + std::to_string(ff) + " ";
        if (Options & 2048) {
            dict += "\r/Q 2 ";
        } else if (Options & 4096) {
            dict += "\r/Q 1 ";
        }
        if (number > 0) dict += " /MaxLen " + std::to_string(number) + " ";
        field.value = Value;
        break;
    case 1:
    case 4:
        if (FieldType == 4) ff += 32768 + 16384;
        dict += " /FT /Btn /Ff " + std::to_string(ff);
        // The ticked state is named the same in the value and the appearance state, so that
        // viewers draw the mark; an unticked field names the off state.
        dict += Lower(Value) == "true" ? " /V /Yes /AS /Yes /DV /Yes " : " /V /Off /AS /Off ";
        field.caption = FieldType == 1 ? CheckMark(Options) : "l";
        break;
    case 2:
    case 3: {
        if (FieldType == 3) ff += 131072;
        dict += " /FT /Ch /Ff " + std::to_string(ff) + " ";
        field.value = Value;
        // A default beyond the options would name no option: it is ignored.
        const auto options = static_cast<std::int32_t>(detail::SplitText(Value, "|").size());
        if (number >= 1 && number <= options) field.default_option = number - 1;
        break;
    }
    default: // push button
        dict += " /FT /Btn /Ff " + std::to_string(ff + 65536);
        field.caption = Value;
        if (!script.empty()) {
            const int stream = detail::WriteTextStream(s, script);
            field.action = " /A << /S /JavaScript /JS " + std::to_string(stream) + " 0 R >> ";
        }
        break;
    }

    // A field drawn before any font was chosen still needs a font in its appearance string and
    // in the form's resources, or viewers reject the string: it gets the default family, and
    // the size the caller set stays as it was.
    if (m_->fonts.kept.font_resource_name.empty()) {
        const float caller_size = m_->fonts.font_size;
        SetFont("Arial");
        m_->fonts.font_size = caller_size;
    }

    // The font is named as the form's resources name it, with the document's prefix.
    const auto& fonts = m_->fonts;
    const float size = (Options & 8192) ? 0.0f : fonts.font_size;
    std::string appearance;
    if (!fonts.kept.font_resource_name.empty())
        appearance = detail::FormatName(s.resource_prefix + fonts.kept.font_resource_name) + " ";
    appearance += detail::FormatReal(s, size) + " Tf " + ColorOperator(c.text_color);

    if (s.pdfa_mode) {
        detail::FieldLook look;
        look.field_type = FieldType;
        look.width = std::fabs(xDim * s.scale_factor);
        look.height = std::fabs(YDim * s.scale_factor);
        look.value = FieldType == 5 ? field.caption : Value;
        look.default_option = field.default_option;
        look.mark = field.caption;
        look.options = Options;
        if ((Options & 4) == 0 && !c.no_fill && detail::IsPlainColor(c.AppearanceFill()))
            look.background = detail::ColorOperator(*m_, c.AppearanceFill(), "", true);
        if (!c.line_color.empty() && c.line_color[0] == '#' && !c.no_stroke &&
            (Options & 16384) == 0) {
            look.border = detail::ColorOperator(*m_, c.line_color, "", false);
            look.border_width = (Options & 32768) ? 2.0f : (Options & 65536) ? 3.0f : 1.0f;
        }
        look.font = detail::FormatName(s.resource_prefix + fonts.kept.font_resource_name);
        look.font_size = size;
        if (detail::IsPlainColor(c.text_color)) {
            look.text_fill = detail::ColorOperator(*m_, c.text_color, "", true);
            look.text_stroke = detail::ColorOperator(*m_, c.text_color, "", false);
        }
        if (const detail::FontRecord* font = detail::CurrentFontRecord(fonts))
            look.widths = &font->widths;
        field.appearance_streams = detail::WriteFieldAppearance(s, look);
    }

    field.name = FieldName;
    field.field_dict = std::move(dict);
    field.characteristics = std::move(characteristics);
    field.tooltip = Tooltip;
    field.field_type = FieldType;
    field.appearance = std::move(appearance);
    detail::AppendRecord(s.form_fields, s.memory_factor) = std::move(field);
} catch (...) {
    detail::RethrowFailure("DrawField");
}

namespace detail {

void WriteFormWidgets(WriterState& s, int page_object) {
    for (const FormFieldRecord& field : s.form_fields) {
        const int n = BeginIndirectObject(s, 0);
        std::string text = field.field_dict + " /DA " + FormatLiteral(s, field.appearance) +
                           " /T " + FormatLiteral(s, field.name);
        if (!field.tooltip.empty()) text += " /TU " + FormatLiteral(s, field.tooltip);
        switch (field.field_type) {
        case 0: {
            const std::string v = FormatLiteral(s, field.value);
            text += " /MK <<" + field.characteristics + ">> \r /V " + v + " /DV " + v + " ";
            break;
        }
        case 2:
        case 3: {
            const std::vector<std::string> options = SplitText(field.value, "|");
            text += " /MK <<" + field.characteristics + ">> /Opt [ ";
            for (const std::string& option : options)
                text += FormatLiteral(s, option);
            text += " ] ";
            if (field.default_option >= 0 &&
                static_cast<std::size_t>(field.default_option) < options.size()) {
                const std::string d =
                    FormatLiteral(s, options[static_cast<std::size_t>(field.default_option)]);
                text += " /DV " + d + " /V " + d;
            }
            break;
        }
        case 1:
        case 4:
        case 5:
            text += " /MK << /CA " + FormatLiteral(s, field.caption) + " " + field.characteristics +
                    ">> ";
            break;
        default:
            break;
        }
        const std::string reference = std::to_string(n) + " 0 R ";
        if (!field.additional_actions.empty()) {
            text += " /AA << " + field.additional_actions + " >> ";
            if (field.calculated) s.calculation_order += reference;
        }
        text += field.action + field.appearance_streams + " /P " + std::to_string(page_object) +
                " 0 R >>";
        WriteFileLine(s, text);
        s.field_refs += reference;
        if (!s.in_object) s.page_annots += reference;
        EndIndirectObject(s);
    }
    // Written fields are no longer pending: a later overlay or page end never writes them again.
    s.form_fields.clear();
}

} // namespace detail
} // namespace pagora
