// State of the writer subsystem: document, file output, pages and the document tail.
//
// Each member's default value is its value after Abort; the members that Abort keeps are
// gathered in `kept`.
#pragma once

#include "pdf/writer/rc4.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace pagora::detail {

// One page, in the order the pages were begun.
struct PageRecord {
    // The page object, 0 until the page is ended; its own content stream is object_number + 1.
    int object_number = 0;
    std::string dictionary;        // the page dictionary after /Contents and /Annots, up to ">>"
    bool has_placeholders = false; // annots holds "##alias##" placeholders
    std::string extra_contents;    // "n 0 R " of each overlay's content stream
    std::string annots;            // "n 0 R " of each annotation and widget, and placeholders
};

// One reusable object, in the order begun.
struct FormObjectRecord {
    std::string alias;  // as passed: not trimmed, case kept
    std::string annots; // "n 0 R " of the annotations made while it was recorded
    int options = 0;    // placement bits; 0 = placed only by DrawObject
};

// One outline item. The first is the document title's item, which Abort records; the public
// operations number the items from 1 ("@1" is the title's item).
struct BookmarkRecord {
    int kind = 0;
    std::string caption;
    int level = 0;
    int page = 0;
    std::string color;
    int style = 0;
    std::string destination;
    int parent = 0, object_number = 0, first = 0, last = 0, next = 0, prev = 0;
};

// One range of page labels. The prefix stays plain text until the catalog is written, so that
// a protected document encrypts it with the catalog's key.
struct PageLabelRecord {
    int page_index = 0; // 0-based index of the range's first page
    int style = 0;      // 1 decimal, 2 and 3 Roman, 4 and 5 letters
    std::string prefix;
    int first_value = -1; // -1: the style's default start
};

// One named destination.
struct DestinationRecord {
    int page = 0;
    std::string fit;
    std::string name;
    std::string page_spec;
};

// One form field of the page being built, written as a widget when the page ends.
struct FormFieldRecord {
    std::string name;               // /T
    std::string field_dict;         // the widget dictionary's beginning, from "<<" on
    std::string action;             // an entry " /A ..." appended unchanged, or empty
    std::string additional_actions; // the entries inside /AA, or empty
    bool calculated = false;        // has a calculation script: listed in /CO
    std::string caption;            // /CA of check boxes, radio and push buttons
    std::string appearance;         // /DA text
    std::string characteristics;    // the entries inside /MK
    std::string tooltip;            // /TU, or empty
    std::string appearance_streams; // " /AP ..." of an archival document, or empty
    std::string value;              // a text field's value; "|"-separated options of a choice
    int default_option = -1;        // index of a choice's default option, -1 for none
    int field_type = 0;             // 0 text, 1 check box, 2 list, 3 combo, 4 radio, 5 push
};

// One embedded file. Its name stays plain text until the object that holds the name tree is
// written, so that a protected document encrypts it with that object's key.
struct EmbeddedFileRecord {
    std::string name;
    int filespec_object = 0;
};

// Kinds of stream, which choose the filter settings that apply.
enum class StreamKind : std::uint8_t { kContent = 0, kImage = 1, kFile = 2 };

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

struct WriterState {
    // ---- Document properties
    std::string title = "(senza titolo)";
    std::string subject;
    std::string keywords;
    std::string author = "Oskelbrann";
    std::string creator = "Pagora Library";
    std::string producer = "Pagora Library 2020.1";
    std::string creation_date; // "D:yyyymmddhhmmss+hh'mm'", set by Abort from the host clock
    std::string file_id;       // a copy of creation_date
    bool pdfa_mode = false;
    // Set when a font could not be embedded in PDF/A mode: the file then no longer claims to be
    // PDF/A (no identification in its metadata, no output intent), since it would not be one.
    bool pdfa_broken = false;
    int version_level = 0;
    int viewer_preferences = 8192;
    std::vector<PageLabelRecord> page_labels; // in call order

    // ---- Output file and cross-reference
    int output_file_number = 0;  // 0: no file; not 0 with no open file: a failed open
    bool document_begun = false; // a file was opened since the last Abort
    OutputFile output;
    std::int64_t output_position = 0; // bytes written to the open file
    std::string output_file_name;
    std::int64_t final_file_size = 0;
    int last_object_number = 0;
    // The file position of each object by its number, -1 for a number no object took (object 0,
    // the head of the free list, is never written).
    std::vector<std::int64_t> object_offsets;

    // ---- Resource lists
    std::string resource_prefix; // "A" + 1 to 6 hex digits + "+", drawn by Abort
    std::string xobject_resources;
    std::string font_resources;
    std::string ext_gstate_resources;
    std::string pattern_resources;
    std::vector<EmbeddedFileRecord> embedded_files; // in call order
    std::string field_refs;
    std::string calculation_order;

    // ---- Pages and content buffers
    float page_width = 596.0f;
    float page_height = 842.0f;
    float scale_factor = 1.0f;
    int default_page_view = 0;
    int page_view = 0;
    float margin_left = 0.0f, margin_right = 0.0f, margin_top = 0.0f, margin_bottom = 0.0f;
    bool clip_to_margins = false;
    bool in_page = false;
    bool overlay_open = false; // the open page is an overlay begun by BeginOnPage
    bool in_object = false;    // a reusable object is open (set by the page content)
    bool in_tiling = false;    // a tiling pattern is open (set by the page content)
    bool tiling_uncoloured = false;
    int current_page = 0; // position of the page or overlay opened last (GetPage), 0 for none
    std::vector<PageRecord> pages;       // in the order begun; pages.size() is the page count
    std::vector<std::size_t> page_order; // page_order[position - 1] is an index into pages
    std::string page_annots;
    // The content of the open page (or overlay), reusable object and tiling cell, line by line.
    std::string page_content;
    std::string object_content;
    std::string tiling_content;
    std::string page_open_script;
    std::string page_close_script;

    // ---- Counts of the page content
    std::vector<FormObjectRecord> form_objects; // reusable objects begun, the open one last
    // The first object of each alias, which painting by name finds among thousands.
    std::unordered_map<std::string, std::size_t> form_object_index;
    std::string tiling_alias;      // trimmed and upper-cased name of the open tiling pattern
    std::string tiling_dictionary; // its dictionary, written when it ends
    // A document to import pages from was opened: the resources then name the image procedure
    // sets that imported pages use.
    bool imports_pages = false;

    // ---- Navigation and interaction
    std::vector<BookmarkRecord> bookmarks; // the first, the title's, recorded by Abort
    std::vector<DestinationRecord> destinations;
    int outline_root = 0; // the outline root object, once the document's tail wrote it
    int dests_object = 0; // the named destinations' dictionary, likewise
    std::vector<FormFieldRecord> form_fields; // the fields of the page being built
    // "n 0 R " of the annotations made while a reusable object is open; the object takes them.
    std::string object_annots;
    std::string doc_open_script, will_close_script, will_save_script, did_save_script,
        will_print_script, did_print_script, global_script;

    // ---- Errors
    int last_error_number = 0;

    // ---- Security (the keys, in kept, stay while encrypted is false)
    bool encrypted = false;
    Rc4Cipher rc4; // the RC4 schedule of the last key used

    // ---- Compression
    int content_filters = 0, image_filters = 0, file_filters = 0;
    int content_level = 0, image_level = 0, file_level = 0;

    // ---- Shared settings
    int precision = 3;
    int memory_factor = 1;

    // ---- What Abort keeps: it starts the next document with these as they stand.
    struct Kept {
        int current_object = 0; // the object being written, whose key encrypts its text
        std::string default_transition;
        std::string page_transition;
        float default_duration = 0.0f;
        float page_duration = 0.0f;
        std::string last_error_source;
        std::string last_error_description;
        std::string encryption_key;
        std::string user_key;
        std::string owner_key;
        int permissions = 0;
        int key_length = 0;
    };
    Kept kept;
};

} // namespace pagora::detail
