#include "pdf/content/text_measure.h"

#include <utility>

namespace pagora::detail {

namespace {

int WidthOf(const TextMeasure& measure, char c) {
    return measure.widths[static_cast<unsigned char>(c)];
}

} // namespace

void CollapseBlankRuns(std::string& text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && kept > 0 && text[kept - 1] == ' ') continue;
        text[kept++] = text[i];
    }
    text.resize(kept);
}

// GCC turns the sum of the widths into vector code that moves the characters through the stack to
// look their widths up one by one, several times slower than the plain loop it keeps here.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
float TextMeasure::Width(std::string_view text) const {
    if (widths == nullptr) return 0;
    long sum = 0;
    long blanks = 0;
    for (const char c : text) {
        sum += WidthOf(*this, c);
        if (c == ' ') ++blanks;
    }
    return WidthOfSums(sum, blanks, text.size());
}

float TextMeasure::WidthOfSums(long width_sum, long blanks, std::size_t characters) const {
    if (widths == nullptr) return 0;
    const float plain = static_cast<float>(width_sum) * size / 1000.0f;
    const float spaced = plain + static_cast<float>(blanks) * word_spacing +
                         static_cast<float>(characters) * char_spacing;
    return spaced * horizontal_scaling / 100.0f / scale_factor;
}

int TextMeasure::CodeWidth(char c) const {
    return widths == nullptr ? 0 : WidthOf(*this, c);
}

TextLinePlan PlanTextLine(std::string text, float width, float indent, std::int32_t align,
                          const TextMeasure& measure) {
    TextLinePlan plan;
    float blank_width = 0;
    long blanks = 0;
    float measured = 0;
    if ((align & kAlignJustify) != 0) {
        // Words are spread by the word spacing, so runs of blanks count once and a trailing
        // blank not at all.
        CollapseBlankRuns(text);
        if (!text.empty() && text.back() == ' ') text.pop_back();
        const float unit =
            measure.size / 1000.0f * measure.horizontal_scaling / 100.0f / measure.scale_factor;
        float others = 0;
        for (const char c : text) {
            if (c == ' ') {
                ++blanks;
            } else {
                others += static_cast<float>(WidthOf(measure, c)) * unit;
            }
        }
        blank_width = static_cast<float>(WidthOf(measure, ' ')) * unit;
        measured = others;
        plan.drawn_width = others + static_cast<float>(blanks) * blank_width;
    } else if ((align & (kAlignShrink | kAlignFit)) != 0) {
        TextMeasure unscaled = measure;
        unscaled.horizontal_scaling = 100;
        plan.drawn_width = unscaled.Width(text);
        measured = plan.drawn_width;
    } else {
        plan.drawn_width = measure.Width(text);
        measured = plan.drawn_width;
    }
    const float m = indent + measured;
    plan.box_width = m;

    switch (align & kHorizontalAlignMask) {
    case kAlignRight:
        plan.offset = width - m;
        break;
    case kAlignCentre:
        plan.offset = (width - m) / 2;
        break;
    case kAlignJustify:
        if (blanks > 0) {
            const float free = width - m - static_cast<float>(blanks) * blank_width;
            plan.adjust = LineAdjust::kWordSpacing;
            plan.adjust_value = free / static_cast<float>(blanks);
            plan.drawn_width += free;
        }
        break;
    case kAlignShrink:
    case kAlignFit:
        // An empty line has nothing to scale; without this guard the factor would be 0 / 0.
        if (m > 0 && (width < m || (align & kHorizontalAlignMask) == kAlignFit)) {
            plan.adjust = width < m ? LineAdjust::kShrink : LineAdjust::kFit;
            plan.adjust_value = width * 100 / m;
        }
        break;
    default:
        break;
    }
    plan.offset += indent;
    plan.text = std::move(text);
    return plan;
}

} // namespace pagora::detail
