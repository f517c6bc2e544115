// The timed message box and the About box.
#include "fakes/kelv_fixture.h"
#include "state/message_box.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(MessageBoxTest, OneMessageAtATimeUntilTheTimerFires) {
    fakes::KelvFixture fx;
    Kelv& k = fx.k;
    ShowMessage(k, "Comms. Error during\rKelvora Set Host Mode", 10);
    EXPECT_TRUE(k.frmMessage.visible);
    EXPECT_EQ(k.frmMessage.Label1.caption, "Comms. Error during\rKelvora Set Host Mode");
    EXPECT_EQ(fx.dialogs.beeps, 1);
    EXPECT_TRUE(k.frmMessage.MessageTimer.enabled);
    EXPECT_EQ(k.frmMessage.MessageTimer.interval, 10000);

    ShowMessage(k, "second", 10);
    EXPECT_EQ(k.frmMessage.Label1.caption, "Comms. Error during\rKelvora Set Host Mode");
    EXPECT_EQ(fx.dialogs.beeps, 1) << "dropped without a beep";

    OKButton_Click(k);
    EXPECT_FALSE(k.frmMessage.visible);
    ShowMessage(k, "third", 10);
    EXPECT_FALSE(k.frmMessage.visible) << "dismissed, but the timer still runs";

    MessageTimer_Timer(k);
    EXPECT_FALSE(k.frmMessage.MessageTimer.enabled);
    ShowMessage(k, "fourth", 10);
    EXPECT_TRUE(k.frmMessage.visible);
    EXPECT_EQ(k.frmMessage.Label1.caption, "fourth");
}

TEST(MessageBoxTest, AboutBoxOpensOnceAndCloses) {
    fakes::KelvFixture fx;
    mnuHelp_Click(fx.k);
    mnuHelp_Click(fx.k);
    EXPECT_TRUE(fx.k.frmAbout1.visible);
    EXPECT_EQ(fx.k.frmAbout1.lblVersion.caption.rfind("Version ", 0), 0u);
    cmdOK_Click(fx.k);
    EXPECT_FALSE(fx.k.frmAbout1.visible);
}

} // namespace
} // namespace kelvora
