// Layers (optional-content groups) and membership groups: marked content while pages are built,
// the group objects and the catalog's optional-content properties at the end.
#include "pdf/content/content.h"

#include "pdf/writer/writer.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pagora {
namespace detail {
namespace {

// Two names are the same layer when they differ at most in the case of ASCII letters.
char UpperAscii(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

std::size_t LayerNameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char ch : name)
        hash = (hash ^ static_cast<unsigned char>(UpperAscii(ch))) * 1099511628211ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

bool SameLayerName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    }
    return true;
}

// The slot of the layer of that name, else the free slot where it would go (the table is never
// full).
std::size_t LayerSlotOf(const ContentState& c, std::string_view name, std::size_t hash) {
    const std::size_t mask = c.layer_slots.size() - 1;
    std::size_t at = hash & mask;
    for (;; at = (at + 1) & mask) {
        const ContentState::LayerSlot& slot = c.layer_slots[at];
        if (slot.layer == 0) return at;
        if (slot.hash == hash && SameLayerName(c.layers[slot.layer - 1].name, name)) return at;
    }
}

// Makes room in the table for one more layer: it doubles before it is half full.
void GrowLayerSlots(ContentState& c) {
    if ((c.layers.size() + 1) * 2 <= c.layer_slots.size()) return;
    std::vector<ContentState::LayerSlot> old(std::max<std::size_t>(c.layer_slots.size() * 2, 16));
    old.swap(c.layer_slots);
    const std::size_t mask = c.layer_slots.size() - 1;
    for (const ContentState::LayerSlot& slot : old) {
        if (slot.layer == 0) continue;
        std::size_t at = slot.hash & mask;
        while (c.layer_slots[at].layer != 0)
            at = (at + 1) & mask;
        c.layer_slots[at] = slot;
    }
}

// The position of the layer of that name, compared without case; the number of layers for none.
std::size_t FindLayer(const ContentState& c, std::string_view name) {
    if (c.layer_slots.empty()) return c.layers.size();
    const std::size_t layer = c.layer_slots[LayerSlotOf(c, name, LayerNameHash(name))].layer;
    return layer == 0 ? c.layers.size() : layer - 1;
}

std::string Ref(int number) {
    return std::to_string(number) + " 0 R ";
}

// The positions of each parent's children in order of creation, by the parent's exact name.
using Children = std::unordered_map<std::string_view, std::vector<std::size_t>>;

Children ChildrenByParent(const ContentState& c) {
    Children children;
    for (std::size_t i = 0; i < c.layers.size(); ++i)
        children[c.layers[i].parent].push_back(i);
    return children;
}

// Appends a layer's reference followed by its descendants: the references of its children in
// brackets, each followed by its own children the same way. The walk keeps its own stack, so a
// chain of layers as long as the document holds cannot exhaust the call stack; it ends because a
// layer is reached only through its one parent, whose name is unique.
void AppendLayerOrder(const ContentState& c, const Children& children, const LayerRecord& layer,
                      std::string& out) {
    struct Level {
        const std::vector<std::size_t>* list;
        std::size_t next;
    };
    std::vector<Level> stack;
    const auto enter = [&](const LayerRecord& record) {
        out += Ref(record.object_number);
        const auto found = children.find(record.name);
        if (found == children.end()) return;
        out += '[';
        stack.push_back({&found->second, 0});
    };
    enter(layer);
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.list->size()) {
            stack.pop_back();
            out += "] ";
            continue;
        }
        enter(c.layers[(*level.list)[level.next++]]);
    }
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
        // The panel lists the top-level layers shown in it, each with all its descendants.
        const Children children = ChildrenByParent(c);
        for (const LayerRecord& layer : c.layers) {
            if (layer.parent.empty() && layer.show_in_list)
                AppendLayerOrder(c, children, layer, out.order);
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
    detail::GrowLayerSlots(c);
    const std::size_t hash = detail::LayerNameHash(Layer);
    detail::ContentState::LayerSlot& slot = c.layer_slots[detail::LayerSlotOf(c, Layer, hash)];
    std::size_t index = c.layers.size();
    if (slot.layer != 0) {
        index = slot.layer - 1;
    } else {
        auto& layer = detail::AppendRecord(c.layers, s.memory_factor);
        try {
            layer.name = Layer;
            layer.parent = Parent;
        } catch (...) {
            c.layers.pop_back(); // no record without its index entry
            throw;
        }
        layer.start_state = StartState;
        layer.show_in_list = ShowInList;
        slot = {hash, index + 1};
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
