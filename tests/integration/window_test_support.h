// The windows built on a Kelv of fakes, with helpers to find widgets and act as the operator.
#pragma once

#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "state/kelv.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_binding.h"
#include "ui/qt/small_windows.h"
#include "ui/qt/window_set.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kelvora::windowtests {

// A screen of 1280 x 1024 pixels.
inline constexpr ScreenSize kScreen{1280 * 15, 1024 * 15};

// The tracking file every window test can start on.
inline const std::string kTrackingFile = "01:02:03,123.4, 45.6,Moon\r\n"
                                         "01:02:03,200.1, 10.2,Sun\r\n"
                                         "125,  fQSO\r\n"
                                         "130,  fQSO2\r\n";

struct WindowFixture : ::testing::Test, fakes::KelvFixture {
    WindowFixture() : windows(k, kScreen) {
        windows.onQuit = [this] { ++quits; };
    }

    // A settings file with its defaults, the tracking file above, and `changes` applied.
    void writeSettings(const std::function<void(config::Settings&)>& changes = {}) {
        folder.write("azel.dat", kTrackingFile);
        config::Create_Config_file(k.iniPath());
        config::Settings s;
        config::Load_Config_file(s, k.iniPath());
        s.Filename = folder.file("azel.dat");
        if (changes) {
            changes(s);
        }
        config::Save_Config_file(s, k.iniPath());
    }

    template <typename T> T* find(const char* name) {
        T* found = windows.mainWindow().findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << "no widget " << name;
        return found;
    }

    void click(const char* name) {
        if (QAction* action = windows.mainWindow().findChild<QAction*>(name)) {
            action->trigger();
            return;
        }
        QAbstractButton* button = find<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << name << " is disabled";
        button->click();
    }

    // Replaces a text box's text as typing would, so that only operator edits are seen.
    static void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        edit->insert(text);
    }

    // Runs window events until `condition` holds; false when it did not within 30 seconds, a bound
    // only a fault reaches, not a loaded machine.
    static bool waitFor(const std::function<bool()>& condition) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!condition()) {
            if (elapsed.elapsed() > 30000) {
                return false;
            }
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return true;
    }

    ui::WindowSet windows;
    int quits = 0;
};

} // namespace kelvora::windowtests
