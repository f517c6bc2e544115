// The settings dialog's buttons that reach into the main window and the tracking file.
#include "tracking/settings_buttons.h"

#include "config/settings.h"
#include "state/kelv.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace kelvora {

void Finish_Click(Kelv& k) {
    k.frmRotor.visible = false;
    k.ui.mnuStart.enabled = true;
    k.ui.mnuStart.caption = "Start";
    k.rs.Config_missing = 0;
}

void Form_Unload_Settings(Kelv& k) {
    Finish_Click(k);
    k.frmRotor.unload();
}

void Save_Click(Kelv& k) {
    if (!config::Save_Config_file(k.settings(), k.iniPath())) {
        k.dialogs.messageBox("The settings could not be saved to " + k.iniPath() + ".");
    }
}

void Default_Click(Kelv& k) {
    if (!k.dialogs.askYesNo("You want to load the default parameters?",
                            "Load default parameters")) {
        return;
    }
    if (!config::Create_Config_file(k.iniPath())) {
        k.dialogs.messageBox("The default settings could not be written to " + k.iniPath() + ".");
        return;
    }
    config::Load_Config_file(k.settings(), k.iniPath());
}

void FileAZEL_Click(Kelv& k) {
    std::optional<std::string> chosen =
        k.dialogs.openFile("File AZEL", ".dat Files (*.dat)|*.dat|All Files (*.*)|*.*");
    if (!chosen) {
        return;
    }
    k.rs.Tracking_file = *chosen;
    k.settings().Filename = *chosen;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*chosen, ec)) {
        k.dialogs.messageBox("There is no file AZEL.dat Please try again.");
        k.rs.Tracking_file.clear();
        k.settings().Filename.clear();
    }
}

} // namespace kelvora
