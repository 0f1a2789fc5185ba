#include "pdf/import/cross_reference.h"

#include "pdf/import/object_syntax.h"
#include "pdf/import/reader_errors.h"

#include <array>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "GetInfo";
// A trailer dictionary is looked for in this many bytes after its keyword.
constexpr std::size_t kTrailerBytes = 65536;

[[noreturn]] void BadFormat() {
    RaiseError(kErrInvalidFileFormat, kOperation);
}

[[noreturn]] void PastEnd() {
    RaiseError(kErrInputPastEnd, kOperation, kInputPastEndText);
}

// Sequential reading of the file with a buffer, for the byte loops of a plain-text table.
class ByteCursor {
public:
    ByteCursor(SourceBytes& bytes, std::int64_t position) : bytes_(bytes), pos_(position) {}
    int Peek() {
        if (pos_ < start_ || pos_ >= start_ + static_cast<std::int64_t>(length_)) {
            start_ = pos_;
            length_ = bytes_.ReadAt(pos_, buffer_);
            if (length_ == 0) return -1;
        }
        return buffer_[static_cast<std::size_t>(pos_ - start_)];
    }
    void Next() { ++pos_; }
    std::int64_t Pos() const { return pos_; }

private:
    SourceBytes& bytes_;
    std::int64_t pos_;
    std::int64_t start_ = 0;
    std::size_t length_ = 0;
    std::array<std::uint8_t, 65536> buffer_{};
};

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

void SkipWhite(ByteCursor& cursor) {
    while (IsPdfWhite(cursor.Peek()))
        cursor.Next();
}

std::int64_t ReadDigits(ByteCursor& cursor) {
    std::int64_t value = 0;
    int digits = 0;
    while (IsDigit(cursor.Peek())) {
        if (++digits > 18) BadFormat();
        value = value * 10 + (cursor.Peek() - '0');
        cursor.Next();
    }
    if (digits == 0) {
        if (cursor.Peek() < 0) PastEnd();
        BadFormat();
    }
    return value;
}

// An entry takes a record only when no newer section listed that number.
// In a hybrid file, the numbers its table marked free may be taken by the entries of its
// additional stream (they are free only to readers of the table alone).
SourceXrefRecord* Unlisted(SourceDocRecord& doc, std::int64_t number,
                           const std::unordered_set<std::int32_t>* freed = nullptr) {
    if (number < 0 || number > kMaxSourceObjects) BadFormat();
    const auto n = static_cast<std::int32_t>(number);
    SourceXrefRecord& record = doc.objects.Slot(n);
    if (record.listed && freed != nullptr && freed->contains(n)) return &record;
    if (record.listed) return nullptr;
    record.listed = true;
    doc.objects.CountListed();
    return &record;
}

class ChainReader {
public:
    ChainReader(SourceReader& reader, TrailerNumbers& numbers,
                const std::function<void()>& bad_section)
        : reader_(reader), numbers_(numbers), bad_section_(bad_section),
          base_(reader.doc.offset_base) {}

    void Run(std::int64_t offset) {
        pending_.push_back(offset);
        while (!pending_.empty()) {
            const std::int64_t next = pending_.back();
            pending_.pop_back();
            // A chain that comes back to a section read before, or never ends, is damage.
            if (!visited_.insert(next).second) BadFormat();
            if (static_cast<int>(visited_.size()) > kMaxCrossReferenceSections) BadFormat();
            Section(next);
        }
    }

private:
    void Section(std::int64_t offset) {
        table_freed_.clear();
        ByteCursor cursor(reader_.bytes, offset);
        while (cursor.Peek() == '\r' || cursor.Peek() == '\n')
            cursor.Next();
        const int c = cursor.Peek();
        if (c == 'x' || c == 'r' || c == 'e' || c == 'f') {
            // The offset may point a few bytes into the keyword.
            const std::string_view rest = std::string_view("xref").substr(c == 'x'   ? 0
                                                                          : c == 'r' ? 1
                                                                          : c == 'e' ? 2
                                                                                     : 3);
            for (const char k : rest) {
                if (cursor.Peek() != static_cast<unsigned char>(k)) {
                    bad_section_();
                    return;
                }
                cursor.Next();
            }
            Table(cursor);
        } else if (IsDigit(c)) {
            Stream(cursor.Pos());
        } else {
            bad_section_();
        }
    }

    void Table(ByteCursor& cursor) {
        while (true) {
            SkipWhite(cursor);
            const int c = cursor.Peek();
            if (c < 0) PastEnd();
            if (IsDigit(c)) {
                Subsection(cursor);
            } else if (c == 't') {
                Trailer(cursor.Pos());
                return;
            } else {
                cursor.Next(); // whatever stands before "trailer" is passed over
            }
        }
    }

    void Subsection(ByteCursor& cursor) {
        const std::int64_t first = ReadDigits(cursor);
        SkipWhite(cursor);
        const std::int64_t count = ReadDigits(cursor);
        if (first + count - 1 > kMaxSourceObjects) BadFormat();
        reader_.doc.objects.DeclareUpperBound(first + count - 1);
        // Entries are read as three tokens, so one-byte line ends (19-byte entries) read as well
        // as two-byte ones. The loop ends with the file, whatever count the header claims.
        for (std::int64_t i = 0; i < count; ++i) {
            SkipWhite(cursor);
            const std::int64_t offset = ReadDigits(cursor);
            SkipWhite(cursor);
            ReadDigits(cursor); // the generation, which this reader does not use
            SkipWhite(cursor);
            const int marker = cursor.Peek();
            if (marker < 0) PastEnd();
            if (marker != 'n' && marker != 'f') BadFormat();
            cursor.Next();
            if (SourceXrefRecord* record = Unlisted(reader_.doc, first + i)) {
                // A free entry stays free: older sections cannot revive the object, and a
                // reference to it reads as nothing.
                if (marker == 'n') {
                    record->kind = 1;
                    record->offset = offset + reader_.doc.offset_base;
                } else {
                    table_freed_.insert(static_cast<std::int32_t>(first + i));
                }
            }
        }
    }

    void Trailer(std::int64_t position) {
        const std::string text = reader_.bytes.Text(position, kTrailerBytes);
        if (!std::string_view(text).starts_with("trailer")) BadFormat();
        const std::string_view dict = std::string_view(text).substr(7);
        Common(dict);
        // The hybrid file's stream is read right after its table, before older sections.
        const auto prev = Offset(dict, "Prev");
        const auto extra = Offset(dict, "XRefStm");
        if (prev) pending_.push_back(*prev);
        if (extra) {
            pending_.push_back(*extra);
            hybrid_freed_[*extra] = std::move(table_freed_);
        }
        table_freed_.clear();
    }

    // The keys trailers and stream dictionaries share.
    void Common(std::string_view dict) {
        if (FindDictKey(dict, "Encrypt")) reader_.doc.encrypted = true;
        if (const auto size = FindDictKey(dict, "Size")) {
            const auto value = IntegerAt(dict, *size);
            if (!value) RaiseError(kErrTypeMismatch, kOperation);
            reader_.doc.objects.DeclareUpperBound(*value - 1);
        }
        if (numbers_.info == 0) {
            if (const auto key = FindDictKey(dict, "Info")) numbers_.info = ReferenceAt(dict, *key);
        }
        if (numbers_.root == 0) {
            if (const auto key = FindDictKey(dict, "Root")) numbers_.root = ReferenceAt(dict, *key);
        }
    }

    std::optional<std::int64_t> Offset(std::string_view dict, std::string_view key) {
        const auto found = FindDictKey(dict, key);
        if (!found) return std::nullopt;
        const auto value = IntegerAt(dict, *found);
        if (!value) RaiseError(kErrTypeMismatch, kOperation);
        return *value + base_;
    }

    void Stream(std::int64_t offset) {
        // The stream of a hybrid file completes its own table: what that table gave as free,
        // the stream may give a place.
        std::unordered_set<std::int32_t> freed;
        if (const auto hybrid = hybrid_freed_.find(offset); hybrid != hybrid_freed_.end()) {
            freed = std::move(hybrid->second);
            hybrid_freed_.erase(hybrid);
        }
        const SourceObject object = ReadObject(reader_, 0, true, offset);
        if (object.type != "XRef") {
            bad_section_();
            return;
        }
        const std::string_view dict = object.text;
        Common(dict);
        if (const auto prev = Offset(dict, "Prev")) pending_.push_back(*prev);

        std::array<int, 3> widths{};
        const std::vector<std::int64_t> w = IntegerArray(DictValue(dict, "W"));
        if (w.size() < 3) BadFormat();
        int row_width = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            // Each field fits in 64 bits; an entry of no bytes at all would divide by zero.
            if (w[k] < 0 || w[k] > 8) BadFormat();
            widths[k] = static_cast<int>(w[k]);
            row_width += widths[k];
        }
        if (row_width == 0) BadFormat();

        std::vector<std::uint8_t> rows = DecodeStreamData(object);
        Unpredict(dict, rows, static_cast<std::size_t>(row_width));
        const std::size_t row_count = rows.size() / static_cast<std::size_t>(row_width);

        std::vector<std::int64_t> index;
        if (FindDictKey(dict, "Index")) {
            index = IntegerArray(DictValue(dict, "Index"));
        } else {
            const auto size = IntegerAt(DictValue(dict, "Size"), 0);
            index = {0, size.value_or(0)};
        }
        if (index.size() % 2 != 0) BadFormat();
        std::size_t row = 0;
        for (std::size_t p = 0; p < index.size(); p += 2) {
            const std::int64_t first = index[p];
            const std::int64_t count = index[p + 1];
            if (first < 0 || count < 0 || first + count - 1 > kMaxSourceObjects) BadFormat();
            reader_.doc.objects.DeclareUpperBound(first + count - 1);
            for (std::int64_t i = 0; i < count; ++i, ++row) {
                if (row >= row_count) BadFormat();
                if (first + i == 0) continue; // object 0 is never an object
                Entry(first + i, rows.data() + row * static_cast<std::size_t>(row_width), widths,
                      freed);
            }
        }
        // The stream itself is an object at this section's offset.
        if (object.number > 0) {
            if (SourceXrefRecord* record = Unlisted(reader_.doc, object.number)) {
                record->kind = 1;
                record->offset = offset;
            }
        }
    }

    void Entry(std::int64_t number, const std::uint8_t* row, const std::array<int, 3>& widths,
               const std::unordered_set<std::int32_t>& freed) {
        std::array<std::uint64_t, 3> fields{1, 0, 0};
        const std::uint8_t* p = row;
        for (std::size_t k = 0; k < 3; ++k) {
            if (widths[k] == 0) continue;
            std::uint64_t value = 0;
            for (int b = 0; b < widths[k]; ++b)
                value = (value << 8) | *p++;
            fields[k] = value;
        }
        const std::uint64_t type = fields[0];
        // A free entry of the stream does not undo the table's own entry for that number.
        SourceXrefRecord* record = Unlisted(reader_.doc, number, type == 0 ? nullptr : &freed);
        if (record == nullptr) return;
        record->kind = type > 255 ? 255 : static_cast<std::int32_t>(type);
        if (type == 1) {
            if (fields[1] >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 2)) {
                BadFormat();
            }
            record->offset = static_cast<std::int64_t>(fields[1]) + base_;
        } else if (type == 2) {
            if (fields[1] > static_cast<std::uint64_t>(kMaxSourceObjects) ||
                fields[2] > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
                BadFormat();
            }
            record->stream_number = static_cast<std::int32_t>(fields[1]);
            record->stream_index = static_cast<std::int32_t>(fields[2]);
        }
    }

    // Undoes the PNG row filters of a stream with /Predictor 10 to 15 (one byte per sample,
    // Columns bytes per row, which must be the entry width).
    void Unpredict(std::string_view dict, std::vector<std::uint8_t>& data, std::size_t width) {
        std::string_view parms = DictValue(dict, "DecodeParms");
        if (parms.starts_with("[")) parms = parms.substr(1);
        std::string resolved;
        if (const std::int32_t ref = ReferenceAt(parms, 0); ref != 0) {
            resolved = GetObjectText(reader_, ref);
            parms = resolved;
        }
        const std::int64_t predictor = IntegerAt(DictValue(parms, "Predictor"), 0).value_or(1);
        if (predictor <= 1) return;
        if (predictor < 10 || predictor > 15) BadFormat();
        const std::int64_t columns = IntegerAt(DictValue(parms, "Columns"), 0).value_or(1);
        if (columns != static_cast<std::int64_t>(width)) BadFormat();
        const std::size_t stride = width + 1;
        const std::size_t row_count = data.size() / stride;
        std::vector<std::uint8_t> out(row_count * width);
        std::vector<std::uint8_t> above(width, 0);
        for (std::size_t r = 0; r < row_count; ++r) {
            const std::uint8_t* in = data.data() + r * stride;
            std::uint8_t* row = out.data() + r * width;
            const std::uint8_t type = in[0];
            for (std::size_t k = 0; k < width; ++k) {
                const int a = k > 0 ? row[k - 1] : 0;
                const int b = above[k];
                const int c = k > 0 ? above[k - 1] : 0;
                int value = in[k + 1];
                switch (type) {
                case 0:
                    break;
                case 1:
                    value += a;
                    break;
                case 2:
                    value += b;
                    break;
                case 3:
                    value += (a + b) / 2;
                    break;
                case 4: {
                    const int pa = std::abs(b - c);
                    const int pb = std::abs(a - c);
                    const int pc = std::abs(a + b - 2 * c);
                    value += (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default:
                    value = 0; // an unknown filter type gives a row of zeros
                }
                row[k] = static_cast<std::uint8_t>(value & 0xFF);
            }
            std::copy(row, row + width, above.begin());
        }
        data = std::move(out);
    }

    SourceReader& reader_;
    TrailerNumbers& numbers_;
    const std::function<void()>& bad_section_;
    std::int64_t base_;
    std::vector<std::int64_t> pending_;
    std::unordered_set<std::int64_t> visited_;
    // The numbers the table being read marked free, and those of each hybrid table, kept for its
    // stream by the stream's offset.
    std::unordered_set<std::int32_t> table_freed_;
    std::unordered_map<std::int64_t, std::unordered_set<std::int32_t>> hybrid_freed_;
};

} // namespace

void ParseCrossReference(SourceReader& reader, std::int64_t offset, TrailerNumbers& numbers,
                         const std::function<void()>& bad_section) {
    ChainReader(reader, numbers, bad_section).Run(offset);
}

} // namespace pagora::detail
