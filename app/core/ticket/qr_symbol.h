// A QR Code symbol as a grid of dark and light modules.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace kerbolt::ticket {

// Modules counted from the top-left corner, x to the right and y downwards.
class QrModules {
public:
    QrModules() = default;
    // `rows` holds one text per row, '#' for a dark module; for hand-made symbols in tests.
    explicit QrModules(const std::vector<std::string_view>& rows);
    QrModules(int size, std::vector<bool> dark);

    int Size() const { return size_; }
    // A module outside the symbol counts as light.
    bool IsDark(int x, int y) const;

private:
    int size_ = 0;
    std::vector<bool> dark_;
};

struct QrEncodeOptions {
    int ecl = 1; // 0 to 3: L, M, Q, H
    int min_version = 1;
    int max_version = 25;
    int mask = -1; // 0 to 7, or -1 for the automatic choice
    bool boost_ecl = true;
};

struct QrSymbol {
    QrModules modules;
    int version = 0;
    int ecl = 0;
};

// Encodes UTF-8 text (numeric, alphanumeric or byte mode, as the text allows). Nothing when it
// does not fit within the highest version. Throws std::invalid_argument for options out of
// range.
std::optional<QrSymbol> EncodeQrSymbol(std::string_view text, const QrEncodeOptions& options);

} // namespace kerbolt::ticket
