#include "app/ui/frm_main.h"

#include "app/core/mandate/mandate_pagora_writer.h"
#include "app/core/store/records.h"
#include "app/core/texts/desktop_texts.h"
#include "app/core/web/data_transfers.h"
#include "app/ui/mandate_action.h"
#include "tests/support/fixed_host.h"
#include "tests/support/ui_harness.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace kerbolt::ui {
namespace {

using testing_support::Control;
using testing_support::ReadFileBytes;
using testing_support::Server;
using testing_support::UiHarness;

// A signed-in French user with contact details and spots, whose main window builds the mandate
// through the hook.
class MandateButton : public ::testing::Test {
protected:
    MandateButton() : harness_(Server::Stopped) {}
    void SetUp() override {
        harness_.SignedIn(texts::kFrench);
        const std::string& data = harness_.context->state.DataFile;
        store::WriteAccount(data, "a@b.ch", "secret1");
        store::WriteContactDetails(data, {.Nom = "Jean Dupont",
                                          .rue = "Rue du Lac",
                                          .no = "1",
                                          .npa = "1000",
                                          .ville = "Lausanne"});
        store::WritePlaces(data, {{"A1", "Rue du Lac 1, 1000 Lausanne", "0"}});
        InstallMandateHook(*harness_.context, [this, make = mandate::PagoraWriterFactory(
                                                         testing_support::MakeFixedHost())] {
            ++builds_;
            return make();
        });
        window_ = std::make_unique<frmMain>(*harness_.context);
        window_->show();
    }

    QPushButton* Button() { return Control<QPushButton>(window_.get(), "cmdMandat"); }
    std::string MandatePath() const {
        const store::State& state = harness_.context->state;
        return web::MandateLocalPath(state.DataFolder, state.AccountKey);
    }

    UiHarness harness_;
    std::unique_ptr<frmMain> window_;
    int builds_ = 0;
};

TEST_F(MandateButton, FirstClickBuildsAndOpensTheSecondOnlyOpens) {
    EXPECT_EQ(Button()->text(), QStringLiteral("Generér le mandat"));
    Button()->click();
    EXPECT_EQ(builds_, 1);
    EXPECT_EQ(harness_.shell.calls, std::vector<std::string>{"document " + MandatePath()});
    EXPECT_EQ(Button()->text(), QStringLiteral("Voir le mandat"));
    EXPECT_TRUE(harness_.prompts.prompts.empty());

    const std::string written = ReadFileBytes(MandatePath());
    const auto written_at = std::filesystem::last_write_time(MandatePath());
    ASSERT_EQ(written.rfind("%PDF-1.", 0), 0u);
    EXPECT_EQ(
        testing_support::RunCommand("qpdf --check '" + MandatePath() + "' >/dev/null 2>&1").status,
        0);
    Button()->click();
    EXPECT_EQ(builds_, 1) << "an existing document is not written again";
    EXPECT_EQ(harness_.shell.calls,
              (std::vector<std::string>{"document " + MandatePath(), "document " + MandatePath()}));
    EXPECT_EQ(ReadFileBytes(MandatePath()), written);
    EXPECT_EQ(std::filesystem::last_write_time(MandatePath()), written_at);
}

// The document is written but nothing on the desktop opens it: the user learns where it is.
TEST_F(MandateButton, AWrittenMandateThatDoesNotOpenIsToldWithItsPath) {
    harness_.shell.opens = false;
    Button()->click();
    EXPECT_EQ(builds_, 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(MandatePath()));
    EXPECT_EQ(harness_.prompts.prompts,
              (std::vector<testing_support::Prompt>{
                  {texts::DocumentNotOpenedMessage(texts::kFrench, MandatePath()),
                   MessageIcon::Exclamation, false}}));
    EXPECT_EQ(Button()->text(), QStringLiteral("Voir le mandat"));
}

TEST_F(MandateButton, UnwritableDataFolderGivesAMessageAndKeepsTheCaption) {
    // The folder is gone from under the window: nothing can be written there (file modes would
    // not stop a test run with full rights).
    std::filesystem::remove_all(harness_.context->state.DataFolder);
    Button()->click();
    ASSERT_EQ(harness_.prompts.prompts.size(), 1u);
    const testing_support::Prompt& message = harness_.prompts.prompts[0];
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_FALSE(message.question);
    // The writer's description names the file it could not write.
    EXPECT_NE(message.text.find(" - " + MandatePath()), std::string::npos) << message.text;
    EXPECT_EQ(Button()->text(), QStringLiteral("Generér le mandat"));
    EXPECT_TRUE(harness_.shell.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(MandatePath()));
}

} // namespace
} // namespace kerbolt::ui
