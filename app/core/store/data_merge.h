// Bringing two copies of the data file together: this computer's and the server's. Neither copy
// may lose anything: the program never deletes a key or a section, the operator writes only
// "Mandat" and "datepaiement" into the server's copy, and the program writes everything else.
#pragma once

#include "app/core/store/ini_file.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kerbolt::store {

// True when the copy is a data file of this account: its "INFOS" section names an address whose
// key is `account_key`. An error page or junk sent in place of the file is none.
bool IsAccountDataFile(const Document& copy, const std::string& account_key);

// The merged file's bytes:
// - every section and key of both copies;
// - "Mandat" and "datepaiement" take the server's value where it has one; every other key takes
//   the local value where the local copy has it, else the server's;
// - the last line of either copy cut short mid-line (a save or an upload broken off) counts for
//   nothing: the other copy's value wins, and a cut section name makes no section;
// - two different tickets under one "INDEMNITE" number: the server's keeps the number, the local
//   one moves, keys unchanged, to the next free number (its printed reference, which now names
//   two tickets, goes to `moved_references` when given);
// - sections in the order the program writes them: "INFOS", the spots, the tickets by number,
//   then any other section.
// Merging the result with the same server copy again gives the same bytes.
std::string MergeDataFiles(const Document& local, const Document& server,
                           std::vector<std::string>* moved_references = nullptr);
// The same bytes handed to `take` a section at a time, in order, until it returns false: a caller
// that only compares them with a file's needs no buffer of the file's size.
void MergeDataFiles(const Document& local, const Document& server,
                    std::vector<std::string>* moved_references,
                    const std::function<bool(std::string_view)>& take);

// True when `copy` holds every section and key of `mine` with the same value (a last line cut
// short in `copy` holds nothing): the server's copy then lacks nothing this computer has.
bool HoldsAll(const Document& copy, const Document& mine);

} // namespace kerbolt::store
