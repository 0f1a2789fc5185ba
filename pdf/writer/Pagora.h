// Pagora: writes PDF files (and reads existing ones to import their pages).
//
// One object holds one document. Text is taken and kept as single-byte strings in the
// document's code page; FromUtf8 converts a caller's UTF-8 text. Operations that fail raise
// PdfError, except those that record the error (ErrNumber, ErrSource, ErrDescription) and go on.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pagora {

// A run-time error: the classic error number, the operation that raised it ("Pagora." and the
// operation's name) and a description.
class PdfError : public std::runtime_error {
public:
    PdfError(int number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}
    int Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

private:
    int number_;
    std::string source_;
    std::string description_;
};

// Local wall-clock time with its offset from UTC, as the host sees it.
struct LocalTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int utc_offset_minutes = 0;
};

// What the library needs of the world outside the file it writes. Tests hand in a fixed host so
// that whole files can be compared byte for byte.
class PagoraHost {
public:
    virtual ~PagoraHost() = default;
    virtual LocalTime Now() = 0;
    // Seeds the random source from the clock (done once per document).
    virtual void Randomize() = 0;
    // A random fraction in [0, 1).
    virtual double Random() = 0;
    // Opens a written document with the system's default application.
    virtual void OpenDocument(const std::string& path) = 0;
    // Tells the user something went wrong where no caller can be told (reader warnings).
    virtual void ShowMessage(const std::string& text) = 0;
};

// The host of a real program: system clock, a seeded generator, the desktop's opener.
std::shared_ptr<PagoraHost> DefaultHost();

class Pagora {
public:
    explicit Pagora(std::shared_ptr<PagoraHost> host = nullptr);
    ~Pagora();
    Pagora(const Pagora&) = delete;
    Pagora& operator=(const Pagora&) = delete;

    // ---- Text conversion ----------------------------------------------------------------------
    // UTF-8 to the single-byte code page of a Windows charset (0 Western, 161 Greek, 162 Turkish,
    // 186 Baltic, 204 Cyrillic, 238 Central European; any other value counts as Western).
    // A character the code page lacks becomes "?".
    static std::string FromUtf8(std::string_view utf8, int charset = 0);
    // The inverse: single-byte text in a charset's code page to UTF-8.
    static std::string ToUtf8(std::string_view bytes, int charset = 0);

    // ---- Document life-cycle, settings and properties -----------------------------------------

    // ---- Pages --------------------------------------------------------------------------------

    // ---- Security -----------------------------------------------------------------------------

    // ---- Compression --------------------------------------------------------------------------

    // ---- Fonts --------------------------------------------------------------------------------

    // ---- Colours, line style and transparency -------------------------------------------------

    // ---- Position, state stack and transformations --------------------------------------------

    // ---- Paths, shapes and rectangles ---------------------------------------------------------

    // ---- Text lines, measurement and text boxes -----------------------------------------------

    // ---- Images -------------------------------------------------------------------------------

    // ---- Errors -------------------------------------------------------------------------------

    struct Members;  // the document's state, one struct per subsystem (pdf/writer/members.h)
    Members& State() noexcept { return *m_; }

private:
    std::unique_ptr<Members> m_;
};

}  // namespace pagora
