// The Doppler-mode window, the timed message box and the About box on fakes.
#include "integration/window_test_support.h"
#include "state/message_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kelvora::windowtests {
namespace {

using BoxesTest = WindowFixture;

TEST_F(BoxesTest, MessageBoxShowsCarriageReturnsAsLineBreaks) {
    windows.run([this] { ShowMessage(k, "Comms. Error during\rKelvora Set Host Mode", 10); });
    ui::MessageWindow& box = windows.messageWindow();
    EXPECT_FALSE(box.isHidden());
    EXPECT_EQ(box.windowTitle(), "Message");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Comms. Error during\nKelvora Set Host Mode");
    EXPECT_FALSE(find<QLabel>("Image1")->pixmap().isNull());
    EXPECT_TRUE(find<QTimer>("MessageTimer")->isActive());
    EXPECT_EQ(find<QTimer>("MessageTimer")->interval(), 10000);

    windows.run([this] { k.frmMessage.Label1.caption = "a\r\nb"; });
    EXPECT_EQ(find<QLabel>("Label1")->text(), "a\nb");
}

TEST_F(BoxesTest, OkHidesTheBoxWhileItsTimerRunsOn) {
    windows.run([this] { ShowMessage(k, "first", 10); });
    find<QPushButton>("OKButton")->click();
    EXPECT_TRUE(windows.messageWindow().isHidden());
    EXPECT_FALSE(k.frmMessage.visible);
    EXPECT_TRUE(find<QTimer>("MessageTimer")->isActive());

    // The close box acts as OK, so a wait for the box ends.
    windows.run([this] { k.frmMessage.visible = true; });
    windows.messageWindow().close();
    EXPECT_FALSE(k.frmMessage.visible);
}

TEST_F(BoxesTest, MessageTimerHidesTheBox) {
    windows.run([this] {
        ShowMessage(k, "soon gone", 10);
        k.frmMessage.MessageTimer.interval = 5; // the timer's effect is tested, not its period
    });
    EXPECT_TRUE(waitFor([this] { return windows.messageWindow().isHidden(); }));
    EXPECT_FALSE(k.frmMessage.MessageTimer.enabled);
    EXPECT_FALSE(find<QTimer>("MessageTimer")->isActive());
}

TEST_F(BoxesTest, AboutOpensOnceFromTheMenuAndOkClosesIt) {
    click("mnuHelp");
    click("mnuHelp");
    ui::AboutWindow& about = windows.aboutWindow();
    EXPECT_FALSE(about.isHidden());
    EXPECT_EQ(about.windowTitle(), "About Kelvora - RTX / Linrad");
    EXPECT_EQ(find<QLabel>("lblVersion")->text().toStdString(), versionText());
    EXPECT_EQ(find<QLabel>("lblDescription")->text(),
              "Tracking for Kelvora Unit / Icom Cat CI-V / K3 / Yaesu / Linrad /TS-2000");
    EXPECT_NE(find<QLabel>("lblLicence")->text().indexOf("GPL-3.0-or-later"), -1);
    EXPECT_FALSE(find<QLabel>("picIcon")->pixmap().isNull());
    EXPECT_EQ(windows.mainWindow().findChildren<QWidget*>("frmAbout1").size(), 1);
    find<QPushButton>("cmdOK")->click();
    EXPECT_TRUE(about.isHidden());
}

TEST_F(BoxesTest, DopplerWindowShowsTheModeAndSelectsWhatIsClicked) {
    windows.run([this] {
        k.frmDoppler.visible = true;
        k.frmDoppler.select(6);
        k.frmDoppler.Doppler_rx.caption = "144,125,600";
        k.frmDoppler.Doppler_dx_text.caption = "  -600";
    });
    ui::DopplerWindow& doppler = windows.dopplerWindow();
    ASSERT_FALSE(doppler.isHidden());
    EXPECT_EQ(doppler.windowTitle(), "Doppler");
    auto checked = [this] {
        std::string marks;
        for (int i = 1; i <= 6; ++i) {
            marks +=
                find<QRadioButton>(("Option" + std::to_string(i)).c_str())->isChecked() ? '1' : '0';
        }
        return marks;
    };
    EXPECT_EQ(checked(), "000001");
    EXPECT_EQ(find<QLineEdit>("Doppler_rx")->text(), "144,125,600");
    EXPECT_TRUE(find<QLineEdit>("Doppler_rx")->isReadOnly());
    EXPECT_EQ(find<QLineEdit>("Doppler_dx_text")->text(), "  -600");
    EXPECT_EQ(find<QRadioButton>("Option3")->text(), "CFOM (Constant Freq. On Moon)");

    find<QRadioButton>("Option3")->click();
    EXPECT_EQ(k.frmDoppler.mode(), 3);
    EXPECT_EQ(checked(), "001000");
    find<QRadioButton>("Option3")->click(); // clicking the selected mode keeps it
    EXPECT_EQ(checked(), "001000");

    k.rs.Doppler_form_shown = -1;
    doppler.close();
    EXPECT_TRUE(doppler.isHidden());
    EXPECT_EQ(k.rs.Doppler_form_shown, 0);
}

} // namespace
} // namespace kelvora::windowtests
