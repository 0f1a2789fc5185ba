// Fakes for the mandate's tests. A user with his folders, and a PDF writer that records the
// mandate's calls instead of writing them, with a simple model of the text box: it wraps words into
// lines of a fixed number of characters, holds as many lines as its height allows (at least one)
// and hands back the rest as the real box does.
#pragma once

#include "app/core/mandate/mandate_writer.h"
#include "app/core/store/app_state.h"
#include "app/core/store/records.h"
#include "app/platform/ports.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

using namespace kerbolt;

struct PdfCall {
    std::string op;   // the operation's name
    std::string text; // text, file name, colour or font family (texts as single bytes)
    float x = 0, y = 0, width = 0, height = 0, size = 0;
    int a = 0, b = 0; // style and encoding, align and options, page number
    int page = 0;     // the page the call was made on
};

class RecordingPdfWriter : public mandate::IPdfWriter {
public:
    // Box model: characters per line and line height in points.
    std::size_t line_chars = 80;
    float line_height = 14;
    // Failures to play: BeginDoc records this error (and creates no file); EndDoc records one;
    // DrawTextBox raises one.
    int begin_error = 0;
    int end_error = 0;
    bool box_throws = false;
    // Whether BeginDoc creates the output file, as the real writer does (and records an error
    // when it cannot).
    bool creates_file = false;

    RecordingPdfWriter() = default;
    // A writer whose owner drops it (the mandate builder does) leaves its calls in `sink`.
    explicit RecordingPdfWriter(std::vector<PdfCall>* sink) : sink_(sink) {}
    ~RecordingPdfWriter() override {
        if (sink_ != nullptr) *sink_ = calls;
    }
    RecordingPdfWriter(const RecordingPdfWriter&) = delete;
    RecordingPdfWriter& operator=(const RecordingPdfWriter&) = delete;

    std::vector<PdfCall> calls;
    // Every line that a text box drew, in order, with its page.
    std::vector<std::string> drawn_lines;
    std::vector<int> drawn_line_pages;

    std::string BeginDoc(const std::string& strFileName) override {
        Record({"BeginDoc", strFileName});
        if (begin_error != 0) {
            error_ = begin_error;
            description_ = "Path/File access error - " + strFileName;
        } else if (creates_file) {
            if (std::FILE* file = std::fopen(strFileName.c_str(), "wb")) {
                std::fputs("%PDF-1.3\n", file);
                std::fclose(file);
            } else {
                error_ = 76;
                description_ = "Path not found - " + strFileName;
            }
        }
        return strFileName;
    }
    void SetPaperSize(int PaperSize, float UserWidth, float UserHeight) override {
        Record({"SetPaperSize", {}, UserWidth, UserHeight, 0, 0, 0, PaperSize});
    }
    int BeginPage(int PageNumber) override {
        ++page_;
        Record({"BeginPage", {}, 0, 0, 0, 0, 0, PageNumber});
        return page_;
    }
    void DrawImage(const std::string& FileName, float DestX, float DestY, float ImgWidth,
                   float ImgHeight, int FrameNumber, const std::string& ColorMask,
                   bool MantainRatio) override {
        Record({"DrawImage", FileName + "|" + ColorMask, DestX, DestY, ImgWidth, ImgHeight, 0,
                FrameNumber, MantainRatio ? 1 : 0});
    }
    void SetFont(const std::string& FontFamily, float Size, int Style, int Encoding) override {
        Record({"SetFont", FontFamily, 0, 0, 0, 0, Size, Style, Encoding});
    }
    void SetColorText(std::string_view Color) override {
        Record({"SetColorText", std::string(Color)});
    }
    void DrawText(float X, float Y, const std::string& Text, int Align) override {
        Record({"DrawText", Text, X, Y, 0, 0, 0, Align});
    }
    std::string DrawTextBox(float X, float Y, float Width, float Height, const std::string& Text,
                            int Align, int Options) override {
        Record({"DrawTextBox", Text, X, Y, Width, Height, 0, Align, Options});
        if (box_throws) throw std::runtime_error("Device I/O error");
        return LayOut(Text, Height);
    }
    void EndPage() override { Record({"EndPage"}); }
    void EndDoc() override {
        Record({"EndDoc"});
        if (end_error != 0) {
            error_ = end_error;
            description_ = "Disk full";
        }
    }
    int ErrNumber() const override { return error_; }
    std::string ErrDescription() const override { return description_; }

    std::vector<PdfCall> Only(const std::string& op) const {
        std::vector<PdfCall> found;
        for (const PdfCall& call : calls)
            if (call.op == op) found.push_back(call);
        return found;
    }

private:
    void Record(PdfCall call) {
        call.page = page_;
        calls.push_back(std::move(call));
    }

    static std::vector<std::string> Split(const std::string& text, const std::string& at) {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find(at, start)) != std::string::npos;
             start = end + at.size())
            parts.push_back(text.substr(start, end - start));
        parts.push_back(text.substr(start));
        return parts;
    }

    static std::string Join(const std::vector<std::string>& parts, std::size_t from,
                            const std::string& with) {
        std::string joined;
        for (std::size_t i = from; i < parts.size(); ++i)
            joined += (i > from ? with : "") + parts[i];
        return joined;
    }

    std::string LayOut(const std::string& text, float height) {
        std::string body = text;
        if (!body.empty() && body[0] == '\x01') body.erase(0, 1);
        const std::vector<std::string> paragraphs = Split(body, "\r\n");
        std::size_t lines = 0;
        for (std::size_t p = 0; p < paragraphs.size(); ++p) {
            const std::vector<std::string> words = Split(paragraphs[p], " ");
            std::size_t w = 0;
            while (w < words.size()) {
                std::string line = words[w++];
                while (w < words.size() && line.size() + 1 + words[w].size() <= line_chars)
                    line += " " + words[w++];
                drawn_lines.push_back(line);
                drawn_line_pages.push_back(page_);
                ++lines;
                if (height < static_cast<float>(lines + 1) * line_height) {
                    std::string rest;
                    if (w < words.size()) rest = "\x01" + Join(words, w, " ");
                    for (std::size_t q = p + 1; q < paragraphs.size(); ++q)
                        rest += (rest.empty() ? "" : "\r\n") + paragraphs[q];
                    return rest;
                }
            }
        }
        return {};
    }

    std::vector<PdfCall>* sink_ = nullptr;
    int page_ = 0;
    int error_ = 0;
    std::string description_;
};

// A signed-in user in folders of the test's own under `root`: "data" holds the data file with
// the account and `contact`, "tmp" is the temporary folder.
inline store::State MandateUser(const std::filesystem::path& root,
                                const store::InfosRecord& contact) {
    store::State state;
    state.DataFolder = (root / "data").string();
    state.TempFolder = (root / "tmp").string();
    std::filesystem::create_directories(state.DataFolder);
    std::filesystem::create_directories(state.TempFolder);
    state.AccountKey = "000NZFAP";
    state.DataFile = state.DataFolder + "/000NZFAP";
    store::WriteAccount(state.DataFile, "a@b.ch", "pw");
    store::WriteContactDetails(state.DataFile, contact);
    return state;
}

} // namespace testing_support
