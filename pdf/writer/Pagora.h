// Pagora: writes PDF files (and reads existing ones to import their pages).
//
// One object holds one document. Text is taken and kept as single-byte strings in the
// document's code page; FromUtf8 converts a caller's UTF-8 text. Operations that fail raise
// PdfError, except those that record the error (ErrNumber, ErrSource, ErrDescription) and go on.
#pragma once

#include "pdf/writer/errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pagora {

namespace detail {
struct StateAccess; // the library's own way to the private state (pdf/writer/members.h)
} // namespace detail

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
    // The file of the free font whose metrics the widths of a standard family were taken from
    // ("Arial", "TimesNewRoman" or "CourierNew"; style 1 bold, 2 italic), which a PDF/A document
    // embeds; empty when none is installed. The default looks through fontconfig's font folders
    // and the system's usual ones.
    virtual std::string StandardFontFile(const std::string& family, int style);
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
    // Closes an open output file as it stands and gives every setting its default.
    void Abort();
    // Creates the output file (an empty name gives "~" + six hex digits + ".pdf" in the current
    // folder) and writes the header; returns the name. Failures are recorded (ErrNumber).
    std::string BeginDoc(const std::string& strFileName = "");
    // Writes the document's tail and closes the file.
    void EndDoc();
    // Opens the written file with the system's default application.
    void OpenDoc();
    void SetDocProperty(const std::string& DocTitle = "", const std::string& DocSubject = "",
                        const std::string& DocAuthor = "", const std::string& DocCreator = "",
                        const std::string& DocProducer = "", const std::string& DocKeywords = "");
    // Page labels from the current page (open) or the next one: 1 decimal, 2 and 3 Roman, 4 and
    // 5 letters; other styles add nothing.
    void SetLabel(int PageLabel, const std::string& LabelPrefix = "", int FirstValue = -1);
    // Error 6, the margins unchanged, for a value (in the unit) that is not a number, infinite
    // or past 2^31 points.
    void SetMargins(float Left = 0, float Right = 0, float Top = 0, float Bottom = 0,
                    bool ClipPage = true);
    void SetMemoryUsage(int Value);
    void SetPageTransition(int Transition, float ShowTime = 1, float TransTime = 1);
    // 1 rotates pages by 270 degrees, 2 by 180, 3 by 90; the open page, else later pages.
    void SetPageView(int ViewMode);
    // PaperSize 255 takes UserWidth by UserHeight in the unit: error 6, the size unchanged, for
    // a value that is not a number, infinite or past 2^31 points.
    void SetPaperSize(int PaperSize, float UserWidth = 0, float UserHeight = 0);
    // Makes the document an archival one (PDF/A-1B): every font embedded, an RGB output profile,
    // metadata that identify the file. A file never claims PDF/A without being one; what the
    // format cannot hold is handled feature by feature:
    // - written in the form the format allows: CMYK colours (colour calls, tags, gradients,
    //   bookmarks, fields, notes, the CMYK operators of drawing files) are given in RGB as a
    //   screen shows them; outline items with children carry their count; notes, stamps, fields
    //   and links are printed and never hidden (Flag and the field options 1 and 2 give way);
    //   form fields carry their own appearances, and viewers are not asked to draw them.
    // - left out, as the format has no place for them: transparency and blend modes, layers
    //   (their content is drawn as ordinary content), LZW compression, document, page and field
    //   event scripts (OnDocEvent, OnFieldEvent), the layers and attachments page modes.
    // - refused with error 5 naming PDF/A, with nothing written: scripts of links, layer links,
    //   script bookmarks and push buttons with a script (raised), the file attachment of
    //   DrawPlaceHolder (raised), AddAttach (false, the error recorded).
    // - kept as asked while the file gives up its claim, the error recorded (the file is then an
    //   ordinary PDF): a standard font with no font file to embed (53; Symbol and ZapfDingbats
    //   always), SetProtection before or after SetPDFa (5), an imported page that brings
    //   transparency, a font that is not embedded, CMYK colours or another feature the format
    //   forbids (5), a CMYK JPEG picture (5).
    void SetPDFa(bool Value);
    void SetPrecision(int w);
    // 0 points, 1 inches, 2 millimetres, 3 centimetres, 255 UserFactor points per unit.
    void SetScale(int ScaleMode, float UserFactor = 1);
    void SetViewerPreferences(int Mode);
    // The output file's current length while it is open, else the finished file's length.
    std::int64_t FileSize() const;
    int GetPage() const;
    int GetPages() const;
    float GetPageHeight(bool KeepMargins = false) const;
    float GetPageWidth(bool KeepMargins = false) const;
    float GetX() const;
    float GetY() const;
    std::string Version() const;

    // ---- Pages --------------------------------------------------------------------------------
    // Begins a page at a position (0 or out of range: after the last) and returns the position.
    int BeginPage(int PageNumber = 0);
    void EndPage();
    // Reopens a finished page for content written as an extra content stream.
    void BeginOnPage(int PageNumber);
    void EndOnPage();
    void SwapPages(int FirstPage, int SecondPage);

    // ---- Outlines, destinations and links -----------------------------------------------------
    // Records an outline item below the title's item on the current page and returns "@n".
    // Level -1 goes one deeper than the previous item, 0 stays at its level; deeper than one
    // step is lowered to one step; 255 or more and below -1 are refused with "". Types: 0 whole
    // page, 1 left edge Param1, 2 top edge Param1, 3 box Param1, Param2 (top-left), Param3 x
    // Param4, 4 point Param1, Param2 with zoom Param3 (percent), 5 LinkParam "http:", "https:",
    // "mailto:", "file:" or "script:". FontStyle: 1 bold, 2 italic.
    std::string AddBookmark(std::string_view Caption, int Level = 0, int TypeOfBookmark = 0,
                            float Param1 = 0, float Param2 = 0, float Param3 = 0, float Param4 = 0,
                            std::string_view LinkParam = {}, std::string_view Color = {},
                            int FontStyle = 0);
    // Records a named destination on the current page; X or Y 0 take the current position.
    void DefineRef(std::string_view RefName, int TypeOfBookmark = 0, float X = 0, float Y = 0,
                   float Width = 0, float Height = 0, float Zoom = 0);
    // Puts a link over the element drawn last. Destination: "page:" + a position, "#FIRST",
    // "#LAST", "#NEXT", "#PREV", "+n" or "-n" (view by TypeOfLink as for AddBookmark, X, Y,
    // Width, Height, Zoom); "bookmark:@n"; "ref:" + a DefineRef name; "http:", "https:",
    // "mailto:", "file:" or "script:"; "layer:ON(a,b)OFF(c)TOGGLE(d)". BorderWidth in points;
    // OnMouseDown 0 none, 1 invert, 2 outline, 3 push. Error 13 for a page that is no number,
    // 9 for an unknown bookmark, 5 for a layer group without ")".
    void LinkTo(std::string_view Destination, int BorderWidth = 0, int OnMouseDown = 0,
                int TypeOfLink = 0, float X = 0, float Y = 0, float Width = 0, float Height = 0,
                float Zoom = 0);

    // ---- Annotations and form fields -----------------------------------------------------------
    // A whole number, or a text: a field's maximum length or default option, or a push
    // button's click script.
    using FieldParam = std::variant<std::int32_t, std::string>;
    // Queues a form field of the page being built (written when the page ends): FieldType 0 text,
    // 1 check box, 2 list box, 3 combo box, 4 radio button, 5 push button; other types add
    // nothing. Value is a text field's value, "true" for a checked box, the options of a choice
    // separated by "|" or a push button's label. Param: the maximum length of a text field, the
    // default option of a choice counted from 1 (out of range: none), or a push button's script.
    // Options: 1 hidden, 2 not printed, 4 no background, 8 read-only, 16 multi-line, 32 password,
    // 128 multiple selection, 256 no spell check, 512 no scrolling, 1024 comb, 2048 right, 4096
    // centred, 8192 automatic font size, 16384 no border, 32768 and 65536 border width 2 and 3,
    // 131072 dashed, 262144 bevelled, 524288 inset, 1048576 underlined border, 2097152 to
    // 33554432 the check mark, 67108864 to 268435456 rotation by 90, 180, 270. The field takes the
    // fill, line and text colours and the current font. A Param text that is no number where a
    // number is needed raises error 13 and adds nothing.
    void DrawField(const std::string& FieldName, std::int32_t FieldType, float X, float Y,
                   float xDim, float YDim, const std::string& Value, const FieldParam& Param = 0,
                   const std::string& Tooltip = "", std::int32_t Options = 0);
    // A free-text note: TextAlign 2 right, 4 centred; Border 0 solid, 1 dashed, 2 bevelled,
    // 3 inset, 4 underlined; Flag the annotation flags. Its text takes the line colour.
    void DrawNote(const std::string& Text, float X, float Y, float Width, float Height,
                  std::int32_t TextAlign = 1, std::int32_t Border = 0, float DashOn = 1,
                  float DashOff = 1, std::int32_t Flag = 0);
    // PlaceHolder 0 to 6: a text-note icon (Note, Comment, Help, Insert, Key, Paragraph,
    // NewParagraph); 256 to 269: a stamp (Approved ... TopSecret) filling the rectangle; 512 and
    // up: the file at Content embedded as an attachment (icons PushPin, Graph, Paperclip, Tag for
    // 512 to 515); "path|description" cuts Content to the path. A missing file writes nothing;
    // in PDF/A mode an attachment is refused (error 5).
    void DrawPlaceHolder(std::string& Content, std::int32_t PlaceHolder, float X = 0, float Y = 0,
                         float Width = 0, float Height = 0, std::int32_t Flag = 4);

    // ---- Security -----------------------------------------------------------------------------
    // Protects the document with RC4: bit 0x1000 of Mode selects 128-bit keys (PDF 1.4), else
    // 40-bit keys; the bits 0x4 print, 0x8 modify, 0x10 copy, 0x20 annotate and, with 128-bit
    // keys, 0x100 fill forms, 0x200 extract for accessibility, 0x400 assemble, 0x800 print in
    // high quality grant permissions. An owner password that is empty or blank is the user
    // password. Call it before the first page, font or image is written.
    void SetProtection(int Mode, const std::string& OwnerPwd = "", const std::string& UserPwd = "");

    // ---- Attachments and scripts ----------------------------------------------------------------
    // Embeds a file in the document, listed by viewers under FileName (empty: the path's last
    // component, which FileName then holds). Returns false, and records the error (53 for a
    // missing file), when the file is not attached; always false in PDF/A mode (error 5).
    bool AddAttach(const std::string& FilePath, std::string& FileName,
                   const std::string& Description = "");
    bool AddAttach(const std::string& FilePath);
    // JavaScript for an event: 0 the current page opens, 1 it closes, 2 the document opens, 3 it
    // will close, 4 will print, 5 will save, 6 did print, 7 did save, 8 document-level script.
    // Scripts of one event are joined unless ResetScript replaces them; other codes are ignored,
    // and so is everything in PDF/A mode.
    void OnDocEvent(int EventType, const std::string& Script, bool ResetScript = false);
    // Attaches a script to the pending form fields named FieldName or below it ("A" reaches
    // "A" and "A.b"): 0 mouse up, 1 mouse down, 2 enter, 3 exit, 4 focus, 5 blur, 6 keystroke,
    // 7 validate, 8 calculate (the field joins the calculation order), 9 format. A trigger holds
    // one script: a later call for the same trigger and field replaces the earlier script.
    void OnFieldEvent(int OnEvent, const std::string& FieldName, const std::string& Action);

    // ---- Compression --------------------------------------------------------------------------
    // Per stream kind: the low byte holds the filter flags (1 run-length, 2 deflate, 4 LZW,
    // 8 ASCII85, 16 ASCIIHex), bits 8 to 11 the level.
    void SetCompression(int ForText = 0, int ForImage = 0, int ForEmbeddedFile = 0);

    // ---- Fonts --------------------------------------------------------------------------------
    // Makes a standard font current: "Arial" (or "Helvetica"), "TimesNewRoman" (or "Times"),
    // "CourierNew" (or "Courier"), "Symbol", "ZapfDingbats", compared without blanks and case;
    // other names get the sans-serif metrics. Style 1 bold, 2 italic; Encoding the Windows charset
    // of the text. A new combination writes its font dictionary at once (the document must be
    // open). A Size of 0 keeps the current size (10 at first).
    void SetFont(const std::string& FontFamily, float Size = 0, int Style = 0, int Encoding = 0);
    // Sets the font size in points as given, without any check.
    void SetFontSize(float Points);
    // Registers a TrueType font file for SetFont under FontAlias (empty: the font's full name
    // without blanks; a name already taken gets "-" and the charset appended) and writes its
    // dictionary, descriptor and, when Embedded, the whole file as its program. Encoding is the
    // Windows charset whose code page the text's bytes are in. Returns the alias, or "" when
    // the file does not exist; failures, damaged files included, are recorded (ErrNumber).
    std::string AddFont(const std::string& TTFFile, const std::string& FontAlias = "",
                        bool Embedded = true, int Encoding = 0);

    // ---- Colours, line style and transparency -------------------------------------------------
    // Colours: a name ("Red", "LightBlue", ...), "#RRGGBB", "%n" (n percent black), "@c;m;y;k"
    // (percentages), "@r;g;b" (0 to 255), a number with red in its low byte, or the name of a
    // pattern, optionally followed by "|" and the colour of an uncoloured pattern. An empty
    // colour switches filling (stroking, the text colour) off until the next colour.
    void SetColorFill(std::string_view Color = {});
    void SetColorLine(std::string_view Color = {});
    void SetColorText(std::string_view Color = {});
    // Line width in user units; a negative width is ignored.
    void SetLineWidth(float Width);
    // Cap in bits 4 to 6 (0x00 butt, 0x20 round, 0x40 square), join in bits 0 to 2 (0 miter,
    // 2 round, 4 bevel); a miter limit below 1 is not written.
    void SetLineStyle(int32_t Style, float MiterLimit = 0);
    // "" or "Solid", "Dash", "Dot", "DashDot", "DashDotDot", or lengths in user units separated
    // by ";" (on, off, on, ...).
    void SetDash(std::string_view Pattern = {}, float Phase = 0);
    // Opacity in percent (0 transparent to 100 opaque) of fill and stroke, fill, or stroke.
    void SetAlpha(int16_t Value);
    void SetAlphaFill(int16_t Value);
    void SetAlphaLine(int16_t Value);
    // Blend mode 0 to 15: Normal, Multiply, Screen, Overlay, Darken, Lighten, ColorDodge,
    // ColorBurn, HardLight, SoftLight, Difference, Exclusion, Hue, Saturation, Color, Luminosity.
    void SetBlend(int32_t Mode);

    // ---- Position, state stack and transformations --------------------------------------------
    // Coordinates are user units from the top-left corner inside the margins, y downwards.
    void SetXY(float X, float Y);
    // Transform the coordinates of what follows; angles in degrees.
    void AxisRotation(float Angle);
    void AxisScaling(float ScaleX, float ScaleY);
    void AxisSkewing(float AngleX, float AngleY);
    void AxisTranslation(float TranslateX, float TranslateY);
    // Opens a local space (origin, scale, rotation) with the drawing state saved; EndSpace
    // closes it and brings back the position, unit, colours, line width and font.
    void BeginSpace(float NewX = 0, float NewY = 0, float ScaleX = 1, float ScaleY = 1,
                    float Angle = 0);
    void EndSpace();

    // ---- Paths, shapes and rectangles ---------------------------------------------------------
    // Options: 1 no stroke, 2 close, 4 fill (even-odd), 128 clip. A shape painted with neither
    // stroke nor fill nor clip stays open and is painted with the next shape.
    void MoveTo(float X, float Y);
    void DrawLine(float X1, float Y1, float X2, float Y2, int32_t Options = 0);
    void DrawLineTo(float X, float Y, int32_t Options = 0);
    // Curve type 1: cubic through two control points to (X3, Y3); 2: the current point is the
    // first control point; 3: the end point (X2, Y2) is the second.
    void DrawCurve(int16_t CurveType, float X1, float Y1, float X2, float Y2, float X3 = 0,
                   float Y3 = 0, int32_t Options = 0);
    // An arc of straight steps of Quality degrees, clockwise on the page; Ratio flattens it
    // into an ellipse, Pie (or the fill option) joins it to the centre.
    void DrawArc(float X, float Y, float Ray, float StartAngle = 0, float EndAngle = 360,
                 float Ratio = 1, bool Pie = false, int16_t Quality = 1, int32_t Options = 0);
    void DrawEllipse(float X, float Y, float XRay, float YRay, int32_t Options = 0);
    void DrawCircle(float X, float Y, float Ray, int32_t Options = 0);
    // A regular polygon with a vertex right of the centre; negative sides mirror it.
    void DrawPolygon(float X, float Y, float Ray, int16_t Sides, int32_t Options = 0);
    // Points as x and y alternating, as numbers or as numeric texts.
    void DrawPolyline(const std::vector<double>& Points, int32_t Options = 0);
    void DrawPolyline(const std::vector<std::string>& Points, int32_t Options = 0);
    // Border: 1 left, 2 right, 4 top, 8 bottom sides; 16 top-left, 32 top-right, 64
    // bottom-right, 128 bottom-left corners rounded with the radius Ray.
    void DrawRect(float X, float Y, float xDim, float YDim, int32_t Options = 0,
                  int32_t Border = 255, float Ray = 0);

    // ---- Layers -------------------------------------------------------------------------------
    // Content between BeginLayer and EndLayer belongs to a named layer (found again by its name
    // without case; the first call's settings stay), which viewers can show or hide. "SCREEN" is
    // shown and not printed, "PRINTER" printed and not shown. An empty name is refused (error 5).
    void BeginLayer(const std::string& Layer, bool StartState = true, bool ShowInList = true,
                    const std::string& Parent = "");
    void EndLayer();
    // Content shown by the states of the layers named in a list separated by ",": Visibility 0
    // any on, 1 any off, 2 all on, 3 all off.
    void BeginConditionalLayer(const std::string& Layers, int Visibility = 0);
    void EndConditionalLayer();

    // ---- Text lines, measurement and text boxes -----------------------------------------------
    // Texts are bytes in the document's code page (FromUtf8). Align: 1 left, 2 right (ending at
    // X), 4 centre (centred on X); other values are left. The baseline is at Y.
    void DrawText(float X, float Y, std::string_view Text, std::int32_t Align = 1);
    // Text at the current position, continuing on its baseline: TextStyle 0 normal, 1 raised,
    // 2 lowered, 3 reduced, at PercenteSize percent of the font size.
    void WriteText(std::string_view Text, std::int32_t TextStyle = 0, float PercenteSize = 66);
    // Text at the current position, then the start of the next line.
    void WriteTextLn(std::string_view Text);
    // Text along a circle, starting (Align 1), ending (2) or centred (4) at StartAngle degrees
    // from the x axis towards y.
    void DrawTextCircular(float X, float Y, float Ray, std::string_view Text, float StartAngle = 0,
                          std::int32_t Align = 1);
    // Width in user units in the current font, size and text state; 0 without a font.
    float GetTextWidth(std::string_view Phrase);
    // Line height of the current font in user units; 0 without a font.
    float GetTextHeight();
    // Text state in points and percent, in force until changed.
    void SetCharSpacing(float w);
    void SetWordSpacing(float w);
    void SetTextHorizontalScaling(float Percent);
    // 0 fill, 1 stroke, 2 fill and stroke, 3 invisible, 4 to 7 the same adding to the clip.
    void SetTextMode(std::int32_t Mode);
    // Wraps the text into the box (Width 0: to the right margin; Height 0: to the bottom
    // margin, the frame sized to the text). Align adds 8 top, 16 bottom, 32 middle, 64 justify,
    // 128 shrink or 256 fit each paragraph into one line, 512 cut lines that do not fit.
    // Options other than 1 draw the frame with those path options. Returns the text that did not
    // fit, to be passed to the next box.
    std::string DrawTextBox(float X, float Y, float Width, float Height, std::string_view Text,
                            std::int32_t Align = 9, std::int32_t Options = 1);
    // The same box for a text flowed box after box without a copy of its rest: lays out Text
    // from byte From on (0 for the first box) as DrawTextBox lays out the rest it hands back,
    // and returns where the next box reads on, Text.size() once everything fitted. Error 5 for a
    // From past the text's end.
    std::size_t DrawTextBoxFrom(float X, float Y, float Width, float Height, std::string_view Text,
                                std::size_t From, std::int32_t Align = 9, std::int32_t Options = 1);
    // The style of later boxes; a negative LineSpacing keeps the current one.
    void SetBoxStyle(float LineSpacing = 1, float Indentation = 0, float PaddingLeft = 0,
                     float PaddingTop = 0, float PaddingRight = 0, float PaddingBottom = 0,
                     std::int32_t BoxBorder = 15, float Ray = 0);

    // ---- Rich text ----------------------------------------------------------------------------
    // Defines the named style that "<TagName>" opens and "</TagName>" closes in rich text (names
    // are compared exactly; up to 255 names, further new names are ignored); an empty name
    // removes every tag. Omitted fields keep the style around the tag: an empty family (and its
    // charset), size 0, style -1 (other styles add their bits), empty colours. BackColor paints
    // a background behind the tagged words.
    void SetTextTag(const std::string& TagName = "", const std::string& FontFamily = "",
                    float FontSize = 0, std::int32_t FontStyle = -1, std::int32_t Encoding = 0,
                    std::string_view FontColor = {}, std::string_view BackColor = {});
    // Lays out tagged text in the box as DrawTextBox does (box style, Align 2, 4, 16, 32, 64,
    // Options for the frame), each word measured in its style, the current fill colour behind
    // untagged text. Returns what did not fit, opening with the tags still open, to be passed
    // to the next box; a text whose first line does not fit comes back unchanged.
    std::string DrawTextRich(float X, float Y, float Width, float Height, std::string_view Text,
                             std::int32_t Align = 9, std::int32_t Options = 1);

    // ---- Tables -------------------------------------------------------------------------------
    // Opens a table (nested in the open one, if any) with its top-left corner at X, Y, one width
    // per column (numbers or numeric texts) and the height of its rows; the drawing state is
    // saved until EndTable.
    void BeginTable(float X, float Y, float RowsHeight, const std::vector<double>& ColsWidth);
    void BeginTable(float X, float Y, float RowsHeight, const std::vector<std::string>& ColsWidth);
    // The rectangle (x, y, width, height) of a cell of the innermost table, rows counted from 1
    // and added as asked for; the column is kept inside the table and the span cut at its last
    // column. The frame is drawn as DrawRect draws it; the default Options 1 draw nothing.
    // Without an open table: four zeros. Error 6 for a cell reaching past row 1048576.
    std::array<float, 4> TableCell(std::int32_t Row, std::int32_t Col, std::int32_t RowSpan = 1,
                                   std::int32_t ColSpan = 1, std::int32_t Options = 1,
                                   std::int32_t BoxBorder = 15, float Ray = 0);
    // The height of the rows added from now on to the innermost table; values <= 0 are ignored.
    void TableRowHeight(float Value);
    // Closes the innermost table and restores the drawing state saved when it opened.
    void EndTable();

    // ---- Images -------------------------------------------------------------------------------
    // Places an image file (read once per document) with its top-left corner at DestX, DestY.
    // Sizes of 0 follow the image (one pixel per point when both are 0); MantainRatio fits it
    // into the given box. ColorMask is the colour shown transparent. An image that cannot be read
    // records the error and is not placed; the position moves to DestX, DestY in any case.
    // Drawings (.eps, .ai, .wmf) are converted on every call, from the subset of each format
    // that drawing programs write their artwork in. For them one size of 0 follows the other by
    // the drawing's proportions, and both 0 give 20/72 of the drawing's own size taken in points
    // (its bounding box, or its metafile window in logical units): not one point per unit. A
    // drawing of which nothing can be drawn is not placed and records error 321; one drawn
    // without some of its content (PostScript procedures, text, bitmaps, rectangles, ellipses
    // the converter does not draw) records error 321 naming the file and what was left out.
    void DrawImage(std::string_view FileName, float DestX, float DestY, float ImgWidth = 0,
                   float ImgHeight = 0, std::int16_t FrameNumber = 1,
                   std::string_view ColorMask = {}, bool MantainRatio = false);
    // Registers an image file's bytes under an alias with the file's extension, for DrawImage
    // by that alias. Returns the alias, or "" for an extension without a reader.
    std::string AddImage(std::string_view Alias, const std::vector<std::uint8_t>& ImgSample,
                         std::int16_t FrameNumber = 1, std::string_view ColorMask = {});
    // Registers raw samples, rows from the top: RGB bytes without a palette, else palette indexes
    // of 1 bit (2 colours), 4 bits (16) or 8 bits (any other count); the palette holds red,
    // green, blue bytes per colour.
    std::string AddImagePattern(std::string_view Alias, std::int32_t ImgWidth,
                                std::int32_t ImgHeight, const std::vector<std::uint8_t>& ImgSample,
                                const std::vector<std::uint8_t>& ImgPalette,
                                std::string_view ColorMask = {});

    // ---- Reusable objects and patterns ---------------------------------------------------------
    // Records the content drawn until EndObject as an object painted by name. Options: 1 page 1,
    // 2 even pages, 4 odd pages, 8 never page 1, 16 at the page's end (else at its start).
    // Objects do not nest: a second call while one is open does nothing.
    void BeginObject(const std::string& Alias, std::int32_t Options = 0);
    // Writes the open object (nothing when none is open) and resolves the pages that painted it
    // before it existed.
    void EndObject();
    // Paints an object by its exact name, also one not yet begun; error 5 for the object being
    // recorded, which cannot paint itself.
    void DrawObject(const std::string& Name);
    // Writes an axial (Style other than 1) or radial (Style 1) gradient between two colours of
    // the same form, usable as a colour under its upper-cased alias. Error 5 for colours of
    // different forms, a pattern name or an empty colour. Its points are measured from the
    // page's top-left corner, inside an object as on a page. One alias names one pattern: a
    // gradient or tiling under an alias already taken (in any letter case) is refused with
    // error 5 and nothing is written; the first definition stays.
    void AddGradient(const std::string& Alias, std::int32_t Style, const std::string& StartColor,
                     const std::string& EndColor, float XStart, float YStart, float XEnd,
                     float YEnd, float RStart = 0, float REnd = 0, bool ExtendBefore = false,
                     bool ExtendAfter = false);
    // Records the content drawn until EndTiling as a pattern cell; Style 0 is coloured, any
    // other uncoloured (colours are then set when painting: "alias|colour").
    void BeginTiling(const std::string& Alias, float XMin, float YMin, float XMax, float YMax,
                     float XStep, float YStep, std::int32_t Style = 0);
    void EndTiling();

    // ---- Barcodes -----------------------------------------------------------------------------
    // Draws a barcode whose left quiet zone begins at X and whose bars hang down from Y:
    // BarCodeType 0 EAN-13, 1 Code 39, 2 Interleaved 2 of 5, 3 POSTNET, 4 Code 128, 5 EAN-8.
    // ShowCode writes the text below the bars in the monospaced font; ZoomFactor (0.8 to 2)
    // scales the symbol, whose sizes are physical in any unit; Height (0: the symbology's own)
    // holds the bars and the text's gap; AddCheck adds the optional check character of Code 39
    // and Interleaved 2 of 5. Returns the width to the end of the right quiet zone: 0 for another
    // type, and for a text that Code 39 or Code 128 cannot carry.
    float DrawBarCode(std::int32_t BarCodeType, std::string_view code, float X, float Y,
                      bool ShowCode = true, float ZoomFactor = 1, float Height = 0,
                      bool AddCheck = false);

    // ---- Reading existing PDF files ----------------------------------------------------------
    // Reads a PDF file once per name (later calls answer from what was read, until Abort) and
    // returns its page count. The results given are written when the file is known: title,
    // subject and author from its document information (decoded from the file's text encodings
    // and given in the code page of the charset of the last SetFont, "?" for what it lacks, as
    // FromUtf8 does), whether it declares PDF/A, and the digit after "PDF-1." of its header (for
    // a later version its major version's tens plus its minor version: 20 for PDF 2.0). Never
    // raises: failures are recorded (ErrNumber; 53 for
    // a missing file, 321 for a damaged one, with the file name in ErrDescription) and the
    // reading goes on with what can be read. An encrypted file is refused: 0, error 321,
    // PDFEncrypted true and nothing kept. A section of the index that is not where the file
    // says is also passed to the host's ShowMessage as "Parsing XRef error".
    std::int32_t GetInfo(const std::string& FileName, std::string* PDFTitle = nullptr,
                         std::string* PDFSubject = nullptr, std::string* PDFAuthor = nullptr,
                         bool* PDFEncrypted = nullptr, bool* PDFa = nullptr,
                         std::int16_t* PDFVersion = nullptr);

    // Size and rotation of a page of a PDF file (1 to its page count): the width and height of
    // its MediaBox in user units, cut to a tenth, and its Rotate as written (sizes are not
    // exchanged for a turned page). False, with the results unchanged, for a file GetInfo
    // refuses or a page it does not have. Errors while the page is read are raised.
    bool GetInfoPage(const std::string& FileName, std::int32_t PageNumber, float* Width = nullptr,
                     float* Height = nullptr, std::int16_t* Rotate = nullptr);
    // The content of a page of a PDF file: its content streams joined, Flate data decoded (other
    // filters as stored), every CR LF made LF; one character per byte. Empty for a page without
    // content and where GetInfoPage gives false. Errors while the page is read are raised:
    // 321 for damaged data, 7 for data that expands beyond 16 MB plus 128 times its stored size
    // (refused as soon as it passes that, before it takes the memory).
    std::string GetContentPage(const std::string& FileName, std::int32_t PageNumber);
    // Draws a page of a PDF file with its top-left corner at (DestX, DestY), xDim wide and YDim
    // high in user units (0 for one of them keeps the page's proportions, 0 for both its own
    // size). The first import of a page copies it into the document as a form, with each object
    // of its resources copied once however many pages of the file use it; later imports only
    // draw it again. The document's version rises to the file's. Nothing happens for a file
    // GetInfo refuses or a page it does not have; a page that cannot be read raises, and then
    // nothing of it has been written.
    void ImportPage(const std::string& FileName, std::int32_t PageNumber, float DestX, float DestY,
                    float xDim = 0, float YDim = 0);

    // ---- Errors -------------------------------------------------------------------------------
    // The last recorded error; Abort clears only the number.
    int ErrNumber() const;
    std::string ErrSource() const;
    std::string ErrDescription() const;

    struct Members; // the document's state, one struct per subsystem (pdf/writer/members.h)

private:
    friend struct detail::StateAccess;
    std::unique_ptr<Members> m_;
};

} // namespace pagora
