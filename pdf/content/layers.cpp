// Layers (optional-content groups) and membership groups: marked content while pages are built,
// the group objects and the catalog's optional-content properties at the end.
#include "pdf/content/layers.h"

#include "pdf/content/content.h"
#include "pdf/writer/writer.h"

#include <limits>

namespace pagora {
namespace detail {
namespace {

// Equal in length and equal once ASCII letters are upper-cased.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

// The position of the layer of that name, compared without case; the number of layers for none.
std::size_t FindLayer(const ContentState& c, std::string_view name) {
    std::size_t i = 0;
    while (i < c.layers.size() && !SameName(c.layers[i].name, name))
        ++i;
    return i;
}

std::string Ref(int number) {
    return std::to_string(number) + " 0 R ";
}

// The references of the children of a parent, each followed by its own bracketed children.
std::string BuildLayerOrder(ContentState& c, const std::string& parent) {
    std::string result;
    for (LayerRecord& layer : c.layers) {
        if (layer.parent != parent) continue;
        result += Ref(layer.object_number);
        const std::string sub = BuildLayerOrder(c, layer.name);
        if (!sub.empty()) {
            layer.order_text = "[" + sub + "] ";
            result += layer.order_text;
        }
    }
    return result;
}

} // namespace

LayerOutput WriteLayerObjects(Pagora::Members& m) {
    auto& s = m.writer;
    auto& c = m.content;
    LayerOutput out;
    int printer = 0, screen = 0;
    for (std::size_t i = 0; i < c.layers.size(); ++i) {
        LayerRecord& layer = c.layers[i];
        const int n = BeginIndirectObject(s, 0);
        WriteFileLine(s, "<</Type /OCG /Name " + FormatLiteral(s, layer.name));
        if (layer.name == "SCREEN") {
            WriteFileLine(s, "/Usage <</Print <</PrintState /OFF>> /View <</ViewState /ON>> >>");
            layer.start_state = true;
            screen = n;
        } else if (layer.name == "PRINTER") {
            WriteFileLine(s, "/Usage <</Print <</PrintState /ON>> /View <</ViewState /OFF>> >>");
            layer.start_state = false;
            printer = n;
        }
        WriteFileLine(s, ">>");
        EndIndirectObject(s);
        layer.object_number = n;
        out.properties += NumberedName(s, "LAY_", i) + " " + Ref(n);
        out.groups += Ref(n);
        (layer.start_state ? out.on : out.off) += Ref(n);
    }
    if (!c.layers.empty()) {
        RequireVersion(s, 2);
        BuildLayerOrder(c, "");
        for (const LayerRecord& layer : c.layers) {
            if (layer.parent.empty() && layer.show_in_list)
                out.order += Ref(layer.object_number) + layer.order_text;
        }
    }
    out.has_printer = printer != 0;
    out.has_screen = screen != 0;
    if (printer != 0) out.usage += Ref(printer);
    if (screen != 0) out.usage += Ref(screen);

    for (std::size_t i = 0; i < c.conditional_layers.size(); ++i) {
        const ConditionalLayerRecord& group = c.conditional_layers[i];
        if (group.layers.empty()) continue;
        std::string members;
        for (const std::string& part : SplitText(group.layers, ",")) {
            const std::size_t layer = FindLayer(c, TrimmedUpper(part));
            if (layer < c.layers.size()) members += Ref(c.layers[layer].object_number);
        }
        const int n = BeginIndirectObject(s, 0);
        WriteFileLine(s, "<</Type /OCMD");
        WriteFileLine(s, "/OCGs [" + members + "]");
        static constexpr const char* kPolicies[] = {"/P /AnyOn", "/P /AnyOff", "/P /AllOn",
                                                    "/P /AllOff"};
        if (group.visibility >= 0 && group.visibility <= 3)
            WriteFileLine(s, kPolicies[group.visibility]);
        WriteFileLine(s, ">>");
        EndIndirectObject(s);
        out.properties += NumberedName(s, "GRLAY_", i) + " " + Ref(n);
    }
    if (!c.conditional_layers.empty()) RequireVersion(s, 2);
    return out;
}

void WriteLayerCatalogLine(Pagora::Members& m, const LayerOutput& layers) {
    auto& s = m.writer;
    if (m.content.layers.empty()) return;
    std::string line = "/OCProperties <</OCGs [" + layers.groups + "] /D <</AS [ ";
    if (layers.has_printer)
        line += "<</Event /Print /OCGs [" + layers.usage + "] /Category [/Print]>> ";
    if (layers.has_screen)
        line += "<</Event /View /OCGs [" + layers.usage + "] /Category [/View]>> ";
    line += "]\n/ON [" + layers.on + "] \n/OFF [" + layers.off + "] \n/Order [" +
            FormatLiteral(s, s.title) + " " + layers.order + "]>>  >>";
    WriteFileLine(s, line);
}

} // namespace detail

void Pagora::BeginLayer(const std::string& Layer, bool StartState, bool ShowInList,
                        const std::string& Parent) try {
    detail::RefuseNulName(Layer, "BeginLayer");
    detail::RefuseNulName(Parent, "BeginLayer");
    auto& s = m_->writer;
    auto& c = m_->content;
    if (s.pdfa_mode) return;
    // A nameless layer would be its own parent in the /Order walk, which would never end.
    if (Layer.empty()) detail::RaiseError(detail::kErrInvalidCall, "BeginLayer");
    const std::size_t index = detail::FindLayer(c, Layer);
    if (index == c.layers.size()) {
        auto& layer = detail::AppendRecord(c.layers, s.memory_factor);
        layer.name = Layer;
        layer.start_state = StartState;
        layer.show_in_list = ShowInList;
        layer.parent = Parent;
    }
    detail::WriteContent(s, "/OC " + detail::NumberedName(s, "LAY_", index) + " BDC");
} catch (...) {
    detail::RethrowFailure("BeginLayer");
}

void Pagora::EndLayer() try {
    if (!m_->writer.pdfa_mode && !m_->content.layers.empty())
        detail::WriteContent(m_->writer, "EMC");
} catch (...) {
    detail::RethrowFailure("EndLayer");
}

void Pagora::BeginConditionalLayer(const std::string& Layers, int Visibility) try {
    detail::RefuseNulName(Layers, "BeginConditionalLayer");
    auto& s = m_->writer;
    auto& c = m_->content;
    if (s.pdfa_mode) return;
    // A visibility out of range still takes its number, as the group the caller began.
    const std::size_t index = c.conditional_layers.size();
    auto& group = detail::AppendRecord(c.conditional_layers, s.memory_factor);
    if (Visibility < std::numeric_limits<int16_t>::min() ||
        Visibility > std::numeric_limits<int16_t>::max()) {
        detail::RaiseError(detail::kErrOverflow, "BeginConditionalLayer");
    }
    group.visibility = static_cast<int16_t>(Visibility);
    group.layers = Layers;
    detail::WriteContent(s, "/OC " + detail::NumberedName(s, "GRLAY_", index) + " BDC");
} catch (...) {
    detail::RethrowFailure("BeginConditionalLayer");
}

void Pagora::EndConditionalLayer() try {
    if (!m_->writer.pdfa_mode && !m_->content.conditional_layers.empty())
        detail::WriteContent(m_->writer, "EMC");
} catch (...) {
    detail::RethrowFailure("EndConditionalLayer");
}

} // namespace pagora
