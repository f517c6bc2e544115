#include "state/error_handler.h"

#include "state/kelv.h"

#include <filesystem>
#include <system_error>

namespace kelvora {

bool EsisteFile(const std::string& NomeFile) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(NomeFile, ec);
    return !ec && std::filesystem::exists(status);
}

void ErrorHandler(Kelv& k, std::string_view text, bool fatal) {
    std::string message = std::string(fatal ? "Fatal " : "") + "Error: " + std::string(text);
    k.frmMessage.Label1.caption = message;
    k.frmMessage.visible = true;
    k.dialogs.processEventsWhile([&k] { return k.frmMessage.visible; });
    if (fatal) {
        k.quitRequested = true;
    }
}

} // namespace kelvora
