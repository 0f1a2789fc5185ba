// Layers: what the end of the document writes of them.
#pragma once

#include "pdf/writer/members.h"

#include <string>

namespace pagora::detail {

// What the layer objects leave for the resources and the catalog.
struct LayerOutput {
    std::string properties; // the /Properties entries of the shared resources
    std::string groups, on, off, order, usage;
    bool has_printer = false, has_screen = false;
};

// Writes the group and membership objects; nothing without layers or groups.
LayerOutput WriteLayerObjects(Pagora::Members& m);

// The catalog's /OCProperties line when the document has layers; the catalog is the current
// object.
void WriteLayerCatalogLine(Pagora::Members& m, const LayerOutput& layers);

} // namespace pagora::detail
