// What the client writes for fixed inputs, compared byte for byte with files kept from an earlier
// build: the settings file, the data file with its account, spots, contact details and two
// tickets, the mandate document, and the ticket's texts and QR-bill payload. Moving code between
// files must not change one byte of what a user's disk or paper receives.
// KERBOLT_WRITE_FIXTURES=1 rewrites the kept files (only after a deliberate change of output).
#include "app/core/mandate/mandate_pagora_writer.h"
#include "app/core/store/records.h"
#include "app/core/ticket/ticket_preview.h"
#include "app/core/ticket/ticket_save.h"
#include "app/core/web/data_transfers.h"
#include "tests/support/fake_ports.h"
#include "tests/support/fixed_host.h"
#include "tests/support/mandate_fakes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/web_fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kerbolt {
namespace {

using testing_support::ReadFileBytes;

class FixedClock : public IClock {
public:
    DateTime Now() override { return {2025, 2, 3, 9, 5, 41}; }
};

void ExpectSameAsKept(const std::string& name, const std::string& bytes) {
    const std::string kept = std::string(KERBOLT_TEST_DATA) + "/client_written/" + name;
    if (std::getenv("KERBOLT_WRITE_FIXTURES") != nullptr)
        testing_support::WriteFileBytes(kept, bytes);
    EXPECT_TRUE(ReadFileBytes(kept) == bytes) << name << " differs from " << kept;
}

TEST(WrittenFiles, SameBytesAsBefore) {
    testing_support::TempDir dir;
    store::State state = testing_support::MandateUser(dir.Path(), {.Nom = "Zoë Châtelain",
                                                                   .rue = "Rue de l'Église",
                                                                   .no = "3",
                                                                   .npa = "1003",
                                                                   .ville = "Lausanne"});
    state.IniPath = state.DataFolder + "/Param.ini";
    state.TicketAmount = "1250.5";
    state.Language = texts::kFrench;

    ASSERT_TRUE(store::SaveRememberedMail(state.IniPath, "a@b.ch"));
    ASSERT_TRUE(store::SaveLanguage(state.IniPath, 2));
    ASSERT_TRUE(store::SaveTicketSettings(state.IniPath, "1250.5", "Indemnité",
                                          "Place {adresse}\r\nMerci"));
    ASSERT_TRUE(store::SavePrinter(state.IniPath, "Ticket Ö"));
    ExpectSameAsKept("Param.ini", ReadFileBytes(state.IniPath));

    ASSERT_TRUE(store::WritePlaces(state.DataFile, {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"},
                                                    {"B2", "Chemin des Prés 2", "1"}}));
    FixedClock clock;
    testing_support::MemoryFtp ftp;
    ASSERT_TRUE(ticket::SaveTicket(state, ftp, clock, 1, "VD 123 456").written);
    ASSERT_TRUE(ticket::SaveTicket(state, ftp, clock, 0, " GE 7 ").written);
    ExpectSameAsKept("data_file", ReadFileBytes(state.DataFile));

    ticket::TicketInputs inputs;
    inputs.language = texts::kFrench;
    inputs.title = "Indemnité";
    inputs.text = "Place {adresse}\r\nMerci";
    inputs.amount = "1250.5";
    inputs.footer = "Pied";
    inputs.spot_address = "Chemin des Prés 2";
    inputs.plates = "VD 123 456";
    inputs.account_key = state.AccountKey;
    inputs.record_number = store::NextIndemniteNumber(state.DataFile);
    const ticket::TicketPreview preview = BuildTicketPreview(inputs);
    std::string ticket;
    for (const std::string& label : preview.labels)
        ticket += label + "\n";
    ticket += preview.payload;
    ExpectSameAsKept("ticket.txt", ticket);

    testing_support::RecordingShell shell;
    const mandate::RgbImage logo{2, 1, {0, 0, 128, 255, 255, 255}};
    ASSERT_TRUE(
        mandate::BuildMandatePdf(state, logo, shell,
                                 mandate::PagoraWriterFactory(testing_support::MakeFixedHost()))
            .ok);
    ExpectSameAsKept("mandate.pdf",
                     ReadFileBytes(web::MandateLocalPath(state.DataFolder, state.AccountKey)));
}

} // namespace
} // namespace kerbolt
