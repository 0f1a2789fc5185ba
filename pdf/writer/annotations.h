// Annotations and form fields as the writer stores and writes them.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>
#include <string_view>

namespace pagora::detail {

// Completes an annotation dictionary (the text so far, from "<<" on) with /T, /Contents, /DA
// and either an embedded file (embed: link is the file's path) or an action to the link, writes
// it as a new object and registers it with the page or the open reusable object. The embedded
// file is read before anything is written, so a failed read leaves no dangling reference.
void WriteAnnotation(WriterState& s, std::string& annotation, std::string_view contents,
                     std::string_view title, std::string_view appearance, std::string_view link,
                     bool embed);
// Writes the pending form fields as widget objects numbered from the next free number, each
// naming page_object in /P, and empties the queue.
void WriteFormWidgets(WriterState& s, int page_object);

} // namespace pagora::detail
