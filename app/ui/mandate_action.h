// The mandate button's build as the main window runs it: the screen logo handed over as pixels,
// the document written and opened, and a message for the user when that fails.
#pragma once

#include <QImage>

#include "app/core/mandate/mandate_builder.h"
#include "app/core/store/app_state.h"
#include "app/platform/ports.h"
#include "app/ui/app_context.h"

namespace kerbolt::ui {

// The picture's pixels laid over white (the logo's transparent parts print as paper), rows from
// the top down; an empty picture gives an empty one.
mandate::RgbImage MandateLogoPixels(const QImage& picture);

// Builds the mandate document and opens it; true when it was written. A failure, an exception
// of the writer included, shows its description in a message box and gives false.
bool BuildMandateDocument(const store::State& state, const QImage& logo, IShell& shell,
                          IPrompts& prompts, const mandate::PdfWriterFactory& make_writer);

// Plugs the build into the main window's mandate button: the window's own logo, the context's
// shell and message boxes, one writer from `make_writer` per document.
void InstallMandateHook(AppContext& context, mandate::PdfWriterFactory make_writer);

} // namespace kerbolt::ui
