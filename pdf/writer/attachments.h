// Embedded files and document scripts: what EndDoc writes of them.
#pragma once

#include "pdf/writer/writer_state.h"

namespace pagora::detail {

// The object numbers of the document's script streams (0: no script) and of the name dictionary
// that holds the script and embedded-file trees when there is a document-level script.
struct DocumentScriptObjects {
    int doc_open = 0, will_close = 0, will_save = 0, did_save = 0, will_print = 0, did_print = 0;
    int global = 0, names = 0;
};

// Writes each non-empty document script as a stream object, then the name dictionary when there
// is a document-level script.
DocumentScriptObjects WriteDocumentScripts(WriterState& s);

// The catalog's /Names, /OpenAction and /AA lines; the catalog is the current object.
void WriteScriptCatalogLines(WriterState& s, const DocumentScriptObjects& objects);

} // namespace pagora::detail
