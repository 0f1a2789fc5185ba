#include "app/core/ticket/qr_symbol.h"

#include <qrcodegen.hpp>

#include <stdexcept>
#include <string>

namespace kerbolt::ticket {

QrModules::QrModules(const std::vector<std::string_view>& rows)
    : size_(static_cast<int>(rows.size())), dark_(rows.size() * rows.size(), false) {
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size() && x < rows.size(); ++x) {
            dark_[y * rows.size() + x] = rows[y][x] == '#';
        }
    }
}

QrModules::QrModules(int size, std::vector<bool> dark) : size_(size), dark_(std::move(dark)) {
    if (size < 0 ||
        dark_.size() != static_cast<std::size_t>(size) * static_cast<std::size_t>(size)) {
        throw std::invalid_argument("QR modules: the grid is not square");
    }
}

bool QrModules::IsDark(int x, int y) const {
    if (x < 0 || y < 0 || x >= size_ || y >= size_) return false;
    return dark_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) +
                 static_cast<std::size_t>(x)];
}

std::optional<QrSymbol> EncodeQrSymbol(std::string_view text, const QrEncodeOptions& options) {
    using qrcodegen::QrCode;
    using qrcodegen::QrSegment;
    if (options.ecl < 0 || options.ecl > 3)
        throw std::invalid_argument("QR: error level out of range");
    if (options.mask < -1 || options.mask > 7) throw std::invalid_argument("QR: mask out of range");
    if (options.min_version < QrCode::MIN_VERSION || options.max_version > QrCode::MAX_VERSION ||
        options.min_version > options.max_version) {
        throw std::invalid_argument("QR: version range out of range");
    }
    constexpr QrCode::Ecc kLevels[] = {QrCode::Ecc::LOW, QrCode::Ecc::MEDIUM, QrCode::Ecc::QUARTILE,
                                       QrCode::Ecc::HIGH};

    const std::string owned(text);
    std::vector<QrSegment> segments;
    if (owned.find('\0') == std::string::npos) {
        segments = QrSegment::makeSegments(owned.c_str());
    } else {
        // The library's text entry stops at a zero byte; byte mode carries every byte.
        segments.push_back(
            QrSegment::makeBytes(std::vector<std::uint8_t>(owned.begin(), owned.end())));
    }
    try {
        const QrCode code =
            QrCode::encodeSegments(segments, kLevels[options.ecl], options.min_version,
                                   options.max_version, options.mask, options.boost_ecl);
        const int size = code.getSize();
        std::vector<bool> dark(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                dark[static_cast<std::size_t>(y * size + x)] = code.getModule(x, y);
            }
        }
        QrSymbol symbol{QrModules(size, std::move(dark)), code.getVersion(), 0};
        for (int level = 0; level < 4; ++level) {
            if (kLevels[level] == code.getErrorCorrectionLevel()) symbol.ecl = level;
        }
        return symbol;
    } catch (const qrcodegen::data_too_long&) {
        return std::nullopt;
    }
}

} // namespace kerbolt::ticket
