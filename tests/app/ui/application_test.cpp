#include "app/ui/application.h"

#include "tests/support/ui_harness.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kerbolt::ui {
namespace {

using testing_support::Prompt;

TEST(GuardedDelivery, AnErrorEscapingAHandlerIsShownAndEndsTheProgram) {
    // Thrown straight from the delivery: carried through Qt's signal code, the exception would
    // make Qt leak a guard, which the sanitizer reports (harmless in the program, which ends).
    testing_support::ScriptedPrompts prompts;
    testing_support::RecordingExit exit;
    EXPECT_FALSE(DeliverGuarded(
        []() -> bool { throw std::runtime_error("Disk full: /data/000NZFAP"); }, prompts, exit));
    EXPECT_EQ(prompts.prompts,
              (std::vector<Prompt>{{"Disk full: /data/000NZFAP", MessageIcon::Critical, false}}));
    EXPECT_EQ(exit.codes, std::vector<int>{1});

    testing_support::ScriptedPrompts other_prompts;
    EXPECT_FALSE(DeliverGuarded([]() -> bool { throw 42; }, other_prompts, exit));
    EXPECT_EQ(other_prompts.Texts(), std::vector<std::string>{"Unknown error"});
}

TEST(GuardedDelivery, OrdinaryDeliveryPassesItsResultThrough) {
    testing_support::ScriptedPrompts prompts;
    testing_support::RecordingExit exit;
    for (const bool handled : {true, false})
        EXPECT_EQ(DeliverGuarded([handled] { return handled; }, prompts, exit), handled);
    EXPECT_TRUE(prompts.prompts.empty());
    EXPECT_TRUE(exit.codes.empty());
}

} // namespace
} // namespace kerbolt::ui
