// The timed message box and the About box.
#include "state/message_box.h"

#include "state/build_info.h"
#include "state/kelv.h"

namespace kelvora {

void ShowMessage(Kelv& k, std::string_view text, int /*timeout*/) {
    ui::MessageForm& box = k.frmMessage;
    if (box.MessageTimer.enabled) {
        return;
    }
    box.Label1.caption = std::string(text);
    box.visible = true;
    k.dialogs.beep();
    box.MessageTimer.enabled = true;
}

void MessageTimer_Timer(Kelv& k) {
    k.frmMessage.visible = false;
    k.frmMessage.MessageTimer.enabled = false;
}

void OKButton_Click(Kelv& k) {
    k.frmMessage.visible = false;
}

void mnuHelp_Click(Kelv& k) {
    k.frmAbout1.lblVersion.caption = versionText();
    k.frmAbout1.visible = true;
}

void cmdOK_Click(Kelv& k) {
    k.frmAbout1.visible = false;
}

std::string versionText() {
    // The release date as day-month-year, from the build's "YYYY-MM-DD".
    std::string_view date = releaseDate();
    std::string shown = date.size() == 10 ? std::string(date.substr(8, 2)) + "-" +
                                                std::string(date.substr(5, 2)) + "-" +
                                                std::string(date.substr(0, 4))
                                          : std::string(date);
    return "Version " + std::string(projectVersion()) + " " + shown + ", commit " +
           std::string(buildCommit());
}

} // namespace kelvora
