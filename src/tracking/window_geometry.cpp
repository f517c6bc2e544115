// The main window's place and size in [Window], read at start-up and saved at shutdown.
#include "tracking/window_geometry.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "state/error_handler.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

namespace kelvora {

void Restore_Window(Kelv& k) {
    std::string path = k.iniPath();
    if (!EsisteFile(path)) {
        return;
    }
    config::IniDocument document = config::loadIniFile(path);
    double* measures[] = {&k.ui.left, &k.ui.top, &k.ui.height, &k.ui.width};
    for (std::size_t i = 0; i < 4; ++i) {
        *measures[i] = numbers::leadingNumber(
            document.get(config::kWindowSection, config::windowKeys()[i].key));
    }
}

void saveWindowGeometry(Kelv& k, ScreenSize screen) {
    std::string path = k.iniPath();
    if (!EsisteFile(path)) {
        return;
    }
    if (k.ui.left > 0 && k.ui.left < screen.width && k.ui.top > 0 && k.ui.top < screen.height) {
        std::optional<config::IniDocument> document = config::loadIniFileForUpdate(path);
        if (!document) {
            return;
        }
        double measures[] = {k.ui.left, k.ui.top, k.ui.height, k.ui.width};
        for (std::size_t i = 0; i < 4; ++i) {
            // The geometry is a single-precision twips value (a figure read from a damaged file
            // may be past a float's range, where the conversion is undefined).
            constexpr double kFloatMax = std::numeric_limits<float>::max();
            document->set(config::kWindowSection, config::windowKeys()[i].key,
                          numbers::toText(
                              static_cast<float>(std::clamp(measures[i], -kFloatMax, kFloatMax))));
        }
        config::saveIniFile(path, *document);
    }
}

} // namespace kelvora
