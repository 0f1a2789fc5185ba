#include "app/core/mandate/mandate_builder.h"

#include "app/core/store/records.h"
#include "app/core/web/data_transfers.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace kerbolt::mandate {

namespace {

// The wording the writer uses for a file it cannot create, so that every failure of the
// build reads alike.
std::string AccessError(const std::string& path) {
    return "Path/File access error - " + path;
}

MandateResult WriteWith(const PdfWriterFactory& make_writer, const MandateDocument& doc) {
    try {
        // The writer lives only for this call: its file is closed before the caller moves or
        // removes it.
        const std::unique_ptr<IPdfWriter> writer = make_writer();
        return WriteMandate(*writer, doc);
    } catch (const std::exception& error) {
        return {false, error.what()};
    }
}

} // namespace

std::string LogoPath(const store::State& state) {
    return PathIn(state.TempFolder, "LogoMandat.bmp");
}

MandateResult BuildMandatePdf(const store::State& state, const RgbImage& logo, IShell& shell,
                              const PdfWriterFactory& make_writer, const MandateOperator& op) {
    MandateDocument doc;
    doc.language = state.Language;
    doc.op = op;
    doc.contact = ContactFrom(store::ReadInfos(state.DataFile));
    for (const store::PlaceRecord& place : store::ReadPlaces(state.DataFile))
        doc.place_addresses.push_back(place.adresse);

    if (!logo.empty()) {
        doc.logo_path = LogoPath(state);
        if (!SaveBmp24(doc.logo_path, logo)) return {false, AccessError(doc.logo_path)};
        doc.logo_height = LogoHeight(logo.width, logo.height);
    }

    const std::string final_path = web::MandateLocalPath(state.DataFolder, state.AccountKey);
    doc.output_path = final_path + ".part";
    MandateResult result = WriteWith(make_writer, doc);
    std::error_code ignored;
    if (!result.ok) {
        std::filesystem::remove(doc.output_path, ignored);
        return result;
    }
    std::error_code renamed;
    std::filesystem::rename(doc.output_path, final_path, renamed);
    if (renamed) {
        std::filesystem::remove(doc.output_path, ignored);
        return {false, AccessError(final_path)};
    }
    shell.OpenDocument(final_path);
    return result;
}

} // namespace kerbolt::mandate
