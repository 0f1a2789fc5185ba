// Line width, caps and joins, dash patterns, opacity and blend modes.
#include "pdf/content/content.h"

#include "pdf/content/number_parsing.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pagora {

namespace detail {

namespace {

constexpr std::array<std::string_view, 16> kBlendModes{
    "Normal",     "Multiply",   "Screen",    "Overlay",   "Darken",     "Lighten",
    "ColorDodge", "ColorBurn",  "HardLight", "SoftLight", "Difference", "Exclusion",
    "Hue",        "Saturation", "Color",     "Luminosity"};

// A dash list of fixed lengths in user units, separated by single blanks.
std::string NamedDashList(const Pagora::Members& m, std::initializer_list<float> lengths) {
    std::string list;
    for (const float length : lengths) {
        if (!list.empty()) list += ' ';
        list += FormatUnits(m.writer, length);
    }
    return list;
}

// One transparency state of the document: written once per value, then named in the content.
void UseTransparencyState(Pagora::Members& m, bool& exists, const std::string& name,
                          const std::string& dictionary) {
    if (!exists) {
        const int number = BeginIndirectObject(m.writer, 0);
        WriteFileLine(m.writer, dictionary);
        EndIndirectObject(m.writer);
        exists = true;
        m.writer.ext_gstate_resources +=
            FormatName(m.writer.resource_prefix + name) + " " + std::to_string(number) + " 0 R ";
    }
    WriteContent(m.writer, FormatName(m.writer.resource_prefix + name) + " gs");
    RequireVersion(m.writer, 1);
}

// An opacity state: the value clamped to 0 to 100 percent, given to each of the keys.
void UseOpacity(Pagora::Members& m, int16_t value, std::array<bool, 101>& states,
                const std::string& name, std::initializer_list<const char*> keys) {
    if (m.writer.pdfa_mode) return;
    const int32_t v = std::clamp<int32_t>(value, 0, 100);
    const std::string a = FormatReal(m.writer, static_cast<float>(v / 100.0));
    std::string dictionary = "<</Type /ExtGState";
    for (const char* key : keys)
        dictionary += std::string(" ") + key + " " + a;
    UseTransparencyState(m, states[static_cast<size_t>(v)], name + std::to_string(v),
                         dictionary + " /BM /Normal >>");
}

} // namespace

void ApplyLineWidth(Pagora::Members& m, float width) {
    if (!(width >= 0)) return;
    const float points = width * m.writer.scale_factor;
    const std::string line = FormatReal(m.writer, points) + " w";
    m.content.kept.line_width = points;
    WriteContent(m.writer, line);
}

} // namespace detail

void Pagora::SetLineWidth(float Width) try { detail::ApplyLineWidth(*m_, Width); } catch (...) {
    detail::RethrowFailure("SetLineWidth");
}

void Pagora::SetLineStyle(int32_t Style, float MiterLimit) try {
    // Halves go to the even neighbour (1.5 to 2, 2.5 to 2).
    const auto cap = static_cast<int32_t>(std::nearbyint((Style & 0x70) / 32.0));
    const auto join = static_cast<int32_t>(std::nearbyint((Style & 7) / 2.0));
    std::string miter;
    if (MiterLimit >= 1) miter = detail::FormatReal(m_->writer, MiterLimit) + " M";
    detail::WriteContent(m_->writer, std::to_string(cap) + " J");
    detail::WriteContent(m_->writer, std::to_string(join) + " j");
    if (!miter.empty()) detail::WriteContent(m_->writer, miter);
} catch (...) {
    detail::RethrowFailure("SetLineStyle");
}

void Pagora::SetDash(std::string_view Pattern, float Phase) try {
    const std::string name = detail::TrimmedUpper(Pattern);
    std::string list;
    if (name.empty() || name == "SOLID") {
        Phase = 0;
    } else if (name == "DASH") {
        list = detail::NamedDashList(*m_, {1.0f / 10});
    } else if (name == "DOT") {
        list = detail::NamedDashList(*m_, {1.0f / 20});
    } else if (name == "DASHDOT") {
        list = detail::NamedDashList(*m_, {1.0f / 10, 1.0f / 20, 1.0f / 20, 1.0f / 20});
    } else if (name == "DASHDOTDOT") {
        list = detail::NamedDashList(
            *m_, {1.0f / 10, 1.0f / 20, 1.0f / 20, 1.0f / 20, 1.0f / 20, 1.0f / 20});
    } else {
        bool any_length = false;
        for (const std::string& part : detail::SplitText(name, ";")) {
            const auto length = static_cast<float>(detail::ReadNumber(part));
            any_length = any_length || length != 0;
            list += " " + detail::FormatUnits(m_->writer, length);
        }
        // A dash list of zero lengths alone is not a Pattern a reader can draw: a line whose
        // lengths are all missing or zero is drawn solid.
        if (!any_length) {
            list.clear();
            Phase = 0;
        }
    }
    const std::string phase_text = detail::FormatUnits(m_->writer, Phase);
    detail::WriteContent(m_->writer, "[" + list + " ] " + phase_text + " d");
} catch (...) {
    detail::RethrowFailure("SetDash");
}

void Pagora::SetAlpha(int16_t Value) try {
    detail::UseOpacity(*m_, Value, m_->content.alpha_states, "GS_", {"/ca", "/CA"});
} catch (...) {
    detail::RethrowFailure("SetAlpha");
}

void Pagora::SetAlphaFill(int16_t Value) try {
    detail::UseOpacity(*m_, Value, m_->content.alpha_fill_states, "GSF_", {"/ca"});
} catch (...) {
    detail::RethrowFailure("SetAlphaFill");
}

void Pagora::SetAlphaLine(int16_t Value) try {
    detail::UseOpacity(*m_, Value, m_->content.alpha_line_states, "GSL_", {"/CA"});
} catch (...) {
    detail::RethrowFailure("SetAlphaLine");
}

void Pagora::SetBlend(int32_t Mode) try {
    if (m_->writer.pdfa_mode) return;
    const int32_t v = std::clamp<int32_t>(Mode, 0, 15);
    detail::UseTransparencyState(
        *m_, m_->content.blend_states[static_cast<size_t>(v)], "GSB_" + std::to_string(v),
        "<</Type /ExtGState /BM /" + std::string(detail::kBlendModes[static_cast<size_t>(v)]) +
            " >>");
} catch (...) {
    detail::RethrowFailure("SetBlend");
}

} // namespace pagora
