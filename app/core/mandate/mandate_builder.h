// The mandate button's work: the user's mandate contract written as a PDF document in his
// language, with his contact details and spots, then opened with the default handler.
#pragma once

#include "app/core/mandate/mandate_bmp.h"
#include "app/core/mandate/mandate_layout.h"
#include "app/core/mandate/mandate_texts.h"
#include "app/core/mandate/mandate_writer.h"
#include "app/core/store/app_state.h"
#include "app/platform/ports.h"

#include <functional>
#include <memory>

namespace kerbolt::mandate {

// Makes the writer of one document.
using PdfWriterFactory = std::function<std::unique_ptr<IPdfWriter>()>;

// The logo file, "LogoMandat.bmp" in the temporary folder; every build writes it and leaves it.
std::string LogoPath(const store::State& state);

// Reads the contact details and spots from the data file, saves `logo` as the logo file, writes
// the document "Mandat_" + key + ".pdf" in the data folder and opens it through `shell`.
// The document is written under a temporary name and renamed into place only when complete, so
// a failure never leaves a partial document where the finished one belongs; the result then
// describes the failure and nothing is opened. Exceptions of the writer end up in the result.
MandateResult BuildMandatePdf(const store::State& state, const RgbImage& logo, IShell& shell,
                              const PdfWriterFactory& make_writer,
                              const MandateOperator& op = DefaultMandateOperator());

} // namespace kerbolt::mandate
