// A hint for the few buffers of tens of megabytes the client fills at once: the bytes of a data
// file of a hundred thousand records and the index of its lines.
#pragma once

#include <cstddef>

namespace kerbolt {

// Asks the system to back a buffer with large pages before it is first written: filled 4 KB at a
// time, a buffer of 40 MB takes ten thousand page faults. Only buffers of 8 MB and more are
// advised, and only their part aligned to 2 MB; on systems without the hint nothing happens, and
// the buffer works the same either way.
void AdviseLargePages(void* data, std::size_t size);

} // namespace kerbolt
