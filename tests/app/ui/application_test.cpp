#include "app/ui/application.h"

#include "tests/app/ui/ui_harness.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kerbolt::ui {
namespace {

using testing::Prompt;

TEST(GuardedDelivery, AnErrorEscapingASlotIsShownAndEndsTheProgram) {
    testing::ScriptedPrompts prompts;
    fakes::RecordingExit exit;
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked,
                     [] { throw std::runtime_error("Disk full: /data/000NZFAP"); });

    EXPECT_FALSE(DeliverGuarded(
        [&] {
            button.click();
            return true;
        },
        prompts, exit));
    EXPECT_EQ(prompts.prompts,
              (std::vector<Prompt>{{"Disk full: /data/000NZFAP", MessageIcon::Critical, false}}));
    EXPECT_EQ(exit.codes, std::vector<int>{1});
}

TEST(GuardedDelivery, OrdinaryDeliveryPassesItsResultThrough) {
    testing::ScriptedPrompts prompts;
    fakes::RecordingExit exit;
    for (const bool handled : {true, false})
        EXPECT_EQ(DeliverGuarded([handled] { return handled; }, prompts, exit), handled);
    EXPECT_TRUE(prompts.prompts.empty());
    EXPECT_TRUE(exit.codes.empty());
}

} // namespace
} // namespace kerbolt::ui
