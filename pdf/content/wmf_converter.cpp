// Windows metafile records to content lines.
#include "pdf/content/wmf_converter.h"

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

namespace pagora::detail {

namespace {

constexpr int kErrSubscript = 9;
constexpr int kErrFileNotFound = 53;

// Record functions.
constexpr std::uint16_t kEof = 0x0000;
constexpr std::uint16_t kSetPolyFillMode = 0x0106;
constexpr std::uint16_t kSetWindowOrg = 0x020B;
constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kCreatePen = 0x02FA;
constexpr std::uint16_t kCreateBrush = 0x02FC;
constexpr std::uint16_t kDeleteObject = 0x01F0;
constexpr std::uint16_t kSelectObject = 0x012D;
constexpr std::uint16_t kPolygon = 0x0324;
constexpr std::uint16_t kPolyline = 0x0325;
constexpr std::uint16_t kPolyPolygon = 0x0538;

// Records that create objects the converter does not draw with; they take a slot all the same,
// so the indexes of later objects stay those of the file.
bool CreatesOtherObject(std::uint16_t function) {
    switch (function) {
    case 0x00F7: // palette
    case 0x00F8: // brush
    case 0x0142: // DIB pattern brush
    case 0x01F9: // pattern brush
    case 0x02FB: // font
    case 0x02FD: // bitmap
    case 0x06FE: // bitmap
    case 0x06FF: // region
        return true;
    default:
        return false;
    }
}

// The kind of drawing a record makes that the converter does not draw, or nullptr for a record
// that draws nothing by itself (state, objects, clipping) or that the converter draws.
const char* SkippedDrawing(std::uint16_t function) {
    switch (function) {
    case 0x0213:
        return "line";
    case 0x041B:
        return "rectangle";
    case 0x061C:
        return "rounded rectangle";
    case 0x0418:
        return "ellipse";
    case 0x0817:
        return "arc";
    case 0x081A:
        return "pie";
    case 0x0830:
        return "chord";
    case 0x0521:
    case 0x0A32:
    case 0x062F:
        return "text";
    case 0x041F:
        return "pixel";
    case 0x0922:
    case 0x0B23:
    case 0x0940:
    case 0x0B41:
    case 0x0F43:
    case 0x0D33:
        return "bitmap";
    case 0x061D:
        return "pattern block";
    case 0x0419:
    case 0x0548:
        return "flood fill";
    case 0x0228:
    case 0x0429:
    case 0x012A:
    case 0x012B:
        return "region";
    default:
        return nullptr;
    }
}

// A read past the bytes of the record at hand.
struct OutsideRecord {};

// The parameters of one record: reads are checked against the record's own bytes.
class Params {
public:
    explicit Params(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint8_t Byte(std::uint64_t at) const {
        if (at >= bytes_.size()) throw OutsideRecord{};
        return bytes_[static_cast<std::size_t>(at)];
    }
    std::uint16_t Word(std::uint64_t at) const {
        if (at + 2 > bytes_.size()) throw OutsideRecord{};
        const auto i = static_cast<std::size_t>(at);
        return static_cast<std::uint16_t>(bytes_[i] | bytes_[i + 1] << 8);
    }
    std::int16_t Signed(std::uint64_t at) const { return static_cast<std::int16_t>(Word(at)); }
    // Makes sure `count` bytes from `at` lie inside the record, before a loop reads them.
    void Need(std::uint64_t at, std::uint64_t count) const {
        if (at + count > bytes_.size()) throw OutsideRecord{};
    }

private:
    std::span<const std::uint8_t> bytes_;
};

struct WmfObject {
    bool deleted = false;
    std::uint16_t style = 0;
    char kind = 'D'; // 'P' pen, 'B' brush, 'D' any other object
    std::uint16_t width = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
};

class Walker {
public:
    Walker(WmfDrawing& drawing, const std::array<std::string, 256>& component_text)
        : drawing_(drawing), components_(component_text) {}

    // Handles one record; false ends the walk.
    bool Record(std::uint16_t function, const Params& params) {
        if (function == kEof) return false;
        if (function == kSelectObject || function == kPolygon || function == kPolyline ||
            function == kPolyPolygon) {
            Start();
        }
        std::string lines;
        try {
            Handle(function, params, lines);
        } catch (const OutsideRecord&) {
            Fail(kErrSubscript);
            return true;
        }
        drawing_.content += lines;
        return true;
    }

    void Fail(int error) {
        drawing_.error = error;
        drawing_.error_after_start = started_;
    }

private:
    // The first selection or drawing record fixes the transform from the window set up before.
    void Start() {
        if (started_) return;
        started_ = true;
        if (origin_seen_ && extent_seen_) {
            drawing_.has_window = true;
            drawing_.transform_at = drawing_.content.size();
        }
    }

    // The lowest freed index, else one above the highest: a set keeps that choice logarithmic
    // for files that create objects by the million.
    std::size_t NewSlot() {
        if (!freed_.empty()) {
            const std::size_t slot = *freed_.begin();
            freed_.erase(freed_.begin());
            return slot;
        }
        objects_.emplace_back();
        return objects_.size() - 1;
    }

    void Handle(std::uint16_t function, const Params& params, std::string& lines) {
        switch (function) {
        case kSetPolyFillMode:
            fill_mode_ = params.Word(0);
            break;
        case kSetWindowOrg:
            if (!started_) {
                const std::int16_t y = params.Signed(0);
                drawing_.origin_x = params.Signed(2);
                drawing_.origin_y = y;
                origin_seen_ = true;
            }
            break;
        case kSetWindowExt:
            if (!started_) {
                const std::int16_t y = params.Signed(0);
                drawing_.extent_x = params.Signed(2);
                drawing_.extent_y = y;
                extent_seen_ = true;
            }
            break;
        case kCreatePen:
        case kCreateBrush:
            CreateObject(function, params);
            break;
        case kDeleteObject: {
            const std::uint16_t index = params.Word(0);
            Object(index).deleted = true;
            freed_.insert(index);
            break;
        }
        case kSelectObject:
            Select(Object(params.Word(0)), lines);
            break;
        case kPolygon:
        case kPolyline: {
            const std::uint16_t count = params.Word(0);
            params.Need(2, 4ull * count);
            AppendPath(params, 2, count, lines);
            if (count > 0) AppendPaint(function == kPolyline, lines);
            break;
        }
        case kPolyPolygon: {
            const std::uint16_t polygons = params.Word(0);
            params.Need(2, 2ull * polygons);
            std::uint64_t points = 0;
            for (std::uint16_t i = 0; i < polygons; ++i)
                points += params.Word(2 + 2ull * i);
            std::uint64_t at = 2 + 2ull * polygons;
            params.Need(at, 4 * points);
            for (std::uint16_t i = 0; i < polygons; ++i) {
                const std::uint16_t count = params.Word(2 + 2ull * i);
                AppendPath(params, at, count, lines);
                at += 4ull * count;
            }
            if (points > 0) AppendPaint(false, lines);
            break;
        }
        default:
            if (CreatesOtherObject(function)) objects_[NewSlot()] = WmfObject{};
            if (const char* kind = SkippedDrawing(function)) Skipped(kind);
            break;
        }
    }

    void Skipped(std::string_view kind) {
        ++drawing_.skipped_records;
        // A few distinct kinds say enough of what is missing.
        constexpr std::size_t kKindsShown = 5;
        if (skipped_kinds_.size() >= kKindsShown) return;
        for (const std::string_view known : skipped_kinds_) {
            if (known == kind) return;
        }
        skipped_kinds_.push_back(kind);
        if (!drawing_.skipped_kinds.empty()) drawing_.skipped_kinds += ", ";
        drawing_.skipped_kinds += kind;
    }

    void CreateObject(std::uint16_t function, const Params& params) {
        WmfObject& object = objects_[NewSlot()];
        object.deleted = false;
        // A record too short for its fields still takes its slot, as an object that draws
        // nothing, so that the file's later indexes keep pointing where it meant them to.
        object.kind = 'D';
        if (function == kCreatePen) {
            params.Need(0, 9);
            object.style = params.Word(0);
            object.width = params.Word(2);
            object.red = params.Byte(6);
            object.green = params.Byte(7);
            object.blue = params.Byte(8);
            object.kind = 'P';
        } else {
            params.Need(0, 5);
            object.style = params.Word(0);
            object.red = params.Byte(2);
            object.green = params.Byte(3);
            object.blue = params.Byte(4);
            object.kind = 'B';
        }
    }

    WmfObject& Object(std::uint16_t index) {
        if (index >= objects_.size()) throw OutsideRecord{};
        return objects_[index];
    }

    std::string Colour(const WmfObject& object, std::string_view op) const {
        return components_[object.red] + " " + components_[object.green] + " " +
               components_[object.blue] + " " + std::string(op);
    }

    void Select(const WmfObject& object, std::string& lines) {
        if (object.kind == 'B') {
            no_fill_ = object.style == 1; // hollow brush
            if (!no_fill_) lines += "\r" + Colour(object, "rg");
        } else if (object.kind == 'P') {
            no_stroke_ = false;
            // The low four bits are the line style; the higher ones choose caps and joins.
            switch (object.style & 0x0F) {
            case 0:
                lines += "\r[ ] 0 d";
                break;
            case 1:
                lines += "\r[3 1] 0 d";
                break;
            case 2:
                lines += "\r[0.5 0.5] 0 d";
                break;
            case 3:
                lines += "\r[2 1 0.5 1] 0 d";
                break;
            case 4:
                lines += "\r[2 1 0.5 1 0.5 1] 0 d";
                break;
            case 5:
                no_stroke_ = true; // null pen
                break;
            default:
                break;
            }
            if (!no_stroke_) {
                lines += "\r" + Colour(object, "RG");
                // The width is in logical units, like every coordinate the transform scales.
                lines += "\r" + std::to_string(object.width) + " w";
                // Pens end and join their lines round unless their style asks for square or
                // flat ends and bevelled or mitred joins. Dashes end flat: a round end would
                // close the gaps of a pattern measured in the file's units.
                const bool dashed = (object.style & 0x0F) >= 1 && (object.style & 0x0F) <= 4;
                const int ends = object.style & 0x0F00;
                const int joins = object.style & 0xF000;
                const int cap = dashed || ends == 0x0200 ? 0 : ends == 0x0100 ? 2 : 1;
                const int join = joins == 0x2000 ? 0 : joins == 0x1000 ? 2 : 1;
                lines += "\r" + std::to_string(cap) + " J " + std::to_string(join) + " j";
            }
        }
    }

    // One subpath, last point first, as the metafile's winding is kept that way.
    static void AppendPath(const Params& params, std::uint64_t at, std::uint16_t count,
                           std::string& lines) {
        for (std::uint32_t i = count; i-- > 0;) {
            const std::uint64_t p = at + 4ull * i;
            lines += '\r';
            lines += std::to_string(params.Signed(p));
            lines += ' ';
            lines += std::to_string(params.Signed(p + 2));
            lines += i + 1 == count ? " m" : " l";
        }
    }

    void AppendPaint(bool polyline, std::string& lines) {
        const bool even_odd = fill_mode_ == 1;
        std::string_view op;
        if (polyline) {
            op = no_stroke_ ? "n" : "S";
        } else if (!no_fill_) {
            op = no_stroke_ ? (even_odd ? "f*" : "f") : (even_odd ? "b*" : "b");
        } else {
            op = no_stroke_ ? "n" : "s";
        }
        lines += '\r';
        lines += op;
        if (op != "n") drawing_.painted = true;
    }

    WmfDrawing& drawing_;
    const std::array<std::string, 256>& components_;
    std::vector<WmfObject> objects_;
    std::set<std::size_t> freed_;
    std::vector<std::string_view> skipped_kinds_;
    bool origin_seen_ = false, extent_seen_ = false, started_ = false;
    bool no_fill_ = false, no_stroke_ = false;
    std::uint16_t fill_mode_ = 0;
};

std::uint32_t Read32(std::span<const std::uint8_t> data, std::uint64_t at) {
    const auto i = static_cast<std::size_t>(at);
    return static_cast<std::uint32_t>(data[i]) | static_cast<std::uint32_t>(data[i + 1]) << 8 |
           static_cast<std::uint32_t>(data[i + 2]) << 16 |
           static_cast<std::uint32_t>(data[i + 3]) << 24;
}

} // namespace

WmfDrawing ConvertWmf(std::span<const std::uint8_t> data,
                      const std::array<std::string, 256>& component_text) {
    WmfDrawing drawing;
    if (data.size() < 2) {
        drawing.error = kErrFileNotFound;
        return drawing;
    }
    Walker walker(drawing, component_text);
    const bool placeable = data.size() >= 4 && Read32(data, 0) == 0x9AC6CDD7u;
    std::uint64_t p = placeable ? 40 : 18;
    if (p > data.size()) walker.Fail(kErrSubscript);
    // Sizes are counted in 64 bits and every record must move the walk forward and end inside
    // the data: a walk that trusted a size of 0, or started over at the end, would never end.
    while (p < data.size()) {
        if (p + 6 > data.size()) {
            walker.Fail(kErrSubscript);
            break;
        }
        const std::uint64_t words = Read32(data, p);
        const auto function = static_cast<std::uint16_t>(
            data[static_cast<std::size_t>(p + 4)] | data[static_cast<std::size_t>(p + 5)] << 8);
        if (words < 3 || p + 2 * words > data.size()) {
            walker.Fail(kErrSubscript);
            break;
        }
        const Params params(
            data.subspan(static_cast<std::size_t>(p + 6), static_cast<std::size_t>(2 * words - 6)));
        p += 2 * words;
        if (!walker.Record(function, params)) break;
    }
    return drawing;
}

} // namespace pagora::detail
