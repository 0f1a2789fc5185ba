// State of the writer subsystem: document, file output, pages and the document tail.
#pragma once

namespace pagora::detail {

struct WriterState {};

}  // namespace pagora::detail
