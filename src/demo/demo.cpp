// The try-it mode's folder and settings.
#include "demo/demo.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "radio/frequency.h"
#include "state/kelv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace kelvora::demo {

std::string demoLocator(const astro::UtcTime& time) {
    // Around the world in longitude, both hemispheres.
    static const char* const kPlaces[] = {"JN45ab", "IO91wm", "FN31pr", "DM04md", "BL11bh",
                                          "QF56od", "PM95vq", "MK82ta", "KP20le", "GG66qd"};
    std::string best = kPlaces[0];
    double highest = -90;
    for (const char* place : kPlaces) {
        astro::Parsed<astro::GeoPoint> point = astro::locatorToGeoPoint(place);
        astro::Parsed<astro::Observer> observer =
            astro::makeObserver(point.value->latitudeDeg, point.value->longitudeDeg);
        double el =
            astro::topocentricPosition(astro::Body::Moon, time, *observer.value).elevationDeg;
        if (el > highest) {
            highest = el;
            best = place;
        }
    }
    return best;
}

DemoSession::DemoSession(platform::Clock& clock, const astro::UtcTime& now)
    : rotor(clock, sim::RotorProtocol::Gs232Qzr, kRotorDegreesPerSecond), radio(clock) {
    std::error_code ec;
    std::string pattern =
        (std::filesystem::temp_directory_path(ec) / "kelvora-demo-XXXXXX").string();
    if (ec || ::mkdtemp(pattern.data()) == nullptr) {
        m_error = "The try-it mode cannot make a temporary folder.";
        return;
    }
    std::string folder = pattern;
    std::string ini = folder + "/Kelvora.ini";
    m_locator = demoLocator(now);
    std::optional<config::IniDocument> document;
    if (config::Create_Config_file(ini)) {
        document = config::loadIniFileForUpdate(ini);
    }
    if (!document) {
        m_error = "The try-it mode cannot write its settings in " + folder + ".";
        std::filesystem::remove_all(folder, ec);
        return;
    }
    struct Value {
        const char* section;
        const char* key;
        std::string value;
    };
    const Value values[] = {
        {"COM_RTX", "Com_Port", "COM1"},
        {"COM_RTX", "Rtx_type", "IC-9700"},
        {"COM_RTX", "Icom_Addr", "A2"},
        {"COM_RTX", "Trv_Offset", "144125"},
        {"COM_Rotor", "Rotor_com", "COM2"},
        {"COM_Rotor", "Rotor_type", "GS232-qzr"},
        {"COM_Rotor", "Refresh_Rotore", "1"},
        {"General", "Fname", folder + "/azel.dat"},
        {"General", "Autostart", "1"},
        {"General", "Autoupdate", "1"},
        {"General", "Doppler", "1"},
        {"General", "Tracking_Object", "Moon"},
        {"General", "Tracking_Source", "Built-in"},
        {"Station", "Locator", m_locator},
        {"Station", "Horizon_File", "horizon.txt"},
        {"Sky_View", "Left", "820"},
        {"Sky_View", "Top", "120"},
        {"Sky_View", "Width", "520"},
        {"Sky_View", "Height", "560"},
        {"Sky_View", "Visible", "1"},
        {"Calibration", "Power_Source", "Simulated"}, // "View", "Calibrate" without a receiver
    };
    for (const Value& v : values) {
        document->set(v.section, v.key, v.value);
    }
    std::ofstream corrections(folder + "/rotor.dat", std::ios::binary);
    for (int i = 0; i <= 360; ++i) {
        corrections << i << ",0\r\n";
    }
    for (int i = 0; i <= 90; ++i) {
        corrections << i << ",0\r\n";
    }
    // Trees and houses around the station, for the sky view's mask.
    std::ofstream horizon(folder + "/horizon.txt", std::ios::binary);
    horizon << "0,6\n35,14\n70,5\n120,9\n175,3\n220,18\n260,11\n300,4\n335,8\n";
    if (!config::saveIniFile(ini, *document) || !corrections || !horizon) {
        m_error = "The try-it mode cannot write its settings in " + folder + ".";
        std::filesystem::remove_all(folder, ec);
        return;
    }
    m_folder = folder;
}

void showDemo(Kelv& k, const std::string& locator) {
    k.rs.Doppler_form_shown = -1;
    k.frmDoppler.visible = true;
    k.frmDoppler.select(static_cast<int>(DopplerMode::OwnEcho));
    k.ui.RotorAZ.caption = "Try-it mode: built-in Moon at " + locator +
                           ", simulated rotor (GS-232) and radio (IC-9700); nothing is saved";
    k.ui.DemoBanner.caption = demoBanner(locator);
    k.ui.DemoBanner.visible = true;
}

std::string demoBanner(const std::string& locator) {
    // The IC-9700 is sent the corrected transmit frequency only; the receive figure of the
    // Doppler window is computed and shown, never sent, so the banner says so.
    return "Try-it mode: the Moon computed for " + locator +
           ", a simulated GS-232 rotor and a simulated IC-9700; nothing is saved. The main "
           "window shows the Moon and the rotor's answers, the sky view the Moon's path and the "
           "antenna, the Doppler window the own-echo shift. Only the corrected transmit "
           "frequency is sent to the radio: see \"Radio:\" in the last command. Use your own "
           "station: start Kelvora without --demo, press Start and fill in Get started.";
}

DemoSession::~DemoSession() {
    if (!m_folder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
}

} // namespace kelvora::demo
