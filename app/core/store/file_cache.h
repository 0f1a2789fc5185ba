// INI files kept parsed between reads. The main window looks into the data file on every
// keystroke, and with thousands of records parsing the file costs far more than a keystroke may
// take; the file changes only when this program saves, when a synchronisation merges the
// server's copy, or when another program writes it. So a file is parsed once and shared until its
// size or time stamp changes, or this program writes it.
//
// Time stamps can be coarse (whole seconds, two seconds on some file systems): a file rewritten
// with the same size in the same tick keeps its stamp. While a file's content was read too soon
// after its stamp to rule that out, every look-up compares the file's bytes with those parsed.
#pragma once

#include "app/core/store/ini_file.h"

#include <memory>
#include <string>

namespace kerbolt::store {

// The file as `Document::Load` reads it now, shared: the same parsed document is handed out
// again while the file stays as it was. A missing or unreadable file is never kept.
std::shared_ptr<const Document> LoadShared(const std::string& path);

// Records what this program just wrote to `path` as its content, parsed as `doc`.
void RememberWritten(const std::string& path, std::shared_ptr<const Document> doc,
                     std::string bytes);

// Drops what is kept of `path`: the next look-up reads the file again.
void ForgetShared(const std::string& path);

} // namespace kerbolt::store
