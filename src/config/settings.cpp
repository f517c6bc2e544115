// Settings keys, defaults, combo lists, and the bulk load, save and create operations.
#include "config/settings.h"

#include "config/settings_schema.h"

#include "config/ini_file.h"
#include "state/numbers.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>

namespace kelvora::config {

namespace {

using S = Settings;

SettingKey text(const char* section, const char* key, const char* field, const char* def,
                std::string S::*member) {
    return SettingKey{section, key, key, field, def, member, nullptr};
}

SettingKey check(const char* section, const char* key, const char* field, int S::*member) {
    return SettingKey{section, key, key, field, "0", nullptr, member};
}

std::vector<std::string> ports(int last) {
    std::vector<std::string> items{"None"};
    for (int n = 1; n <= last; ++n) {
        items.push_back("COM" + std::to_string(n));
    }
    return items;
}

} // namespace

const std::vector<SettingKey>& settingKeys() {
    static const std::vector<SettingKey> keys = {
        text("COM_RTX", "Com_Port", "RtxPort", "None", &S::RtxPort),
        text("COM_RTX", "Com_Port2", "RtxPort2", "None", &S::RtxPort2),
        text("COM_RTX", "Rtx_type", "RtxType", "None", &S::RtxType),
        text("COM_RTX", "Rtx_baud", "RtxBaud", "9600", &S::RtxBaud),
        text("COM_RTX", "Com_Parity", "Parity", "N", &S::Parity),
        text("COM_RTX", "Com_Bits", "Bits", "8", &S::Bits),
        text("COM_RTX", "Com_StopBit", "StopBit", "1", &S::StopBit),
        text("COM_RTX", "Icom_Addr", "IcomAddr", "10", &S::IcomAddr),
        text("COM_RTX", "Icom_Addr1", "IcomAddr1", "10", &S::IcomAddr1),
        text("COM_RTX", "Trv_Offset", "Offset", "144000", &S::Offset),
        text("COM_Rotor", "Rotor_com", "RotorPort", "None", &S::RotorPort),
        text("COM_Rotor", "Rotor_type", "RotorType", "None", &S::RotorType),
        text("COM_Rotor", "Rotor_baud", "RotorBaud", "9600", &S::RotorBaud),
        text("COM_Rotor", "Rotor_Com_Parity", "RotorParity", "N", &S::RotorParity),
        text("COM_Rotor", "Rotor_Com_Bits", "RotorBits", "8", &S::RotorBits),
        text("COM_Rotor", "Rotor_Com_StopBit", "RotorStopbit", "1", &S::RotorStopbit),
        text("COM_Rotor", "Rotor_TimeOutDelay", "RotorTimeOutDelay", "0", &S::RotorTimeOutDelay),
        text("COM_Rotor", "Rotor_PaceDelay", "RotorPaceDelay", "0", &S::RotorPaceDelay),
        text("COM_Rotor", "Refresh_Rotore", "Refresh_Rotore", "None", &S::Refresh_Rotore),
        text("Linrad", "Linrad_IP", "Linrad_IP", "127.0.0.1", &S::Linrad_IP),
        text("Linrad", "Linrad_Port", "Linrad_Port", "49812", &S::Linrad_Port),
        text("Linrad", "Linrad_Center", "Linrad_center", "144125000", &S::Linrad_center),
        SettingKey{"Linrad", "Linrad_offset", "Linrad_Offset", "Linrad_offset", "0",
                   &S::Linrad_offset, nullptr},
        text("General", "Fname", "Filename", "", &S::Filename),
        check("General", "fqso2", "map65_fqso2", &S::map65_fqso2),
        check("General", "Autostart", "Auto_Start", &S::Auto_Start),
        check("General", "Autoupdate", "Autoupdate_flag", &S::Autoupdate_flag),
        text("General", "Flusso", "Contollo_Flusso", "None", &S::Contollo_Flusso),
        check("General", "Doppler", "Doppler_Check", &S::Doppler_Check),
        text("General", "Tracking_Object", "Sun_combo", "Moon", &S::Sun_combo),
        text("General", "Virtual_PTT", "Virtual_PTT", "None", &S::Virtual_PTT),
        text("General", "Real_PTT", "Reale_PTT", "None", &S::Reale_PTT),
    };
    return keys;
}

const std::array<WindowKey, 4>& windowKeys() {
    static const std::array<WindowKey, 4> keys = {{
        {"WindowPositionLeft", "2295"},
        {"WindowPositionTop", "2940"},
        {"WindowHeight", "4470"},
        {"WindowWidth", "9585"},
    }};
    return keys;
}

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The schema's sections the record keeps as `added`: all but [Sky_View], which the sky view
// writes itself when the program ends. Of the original [General], only the schema's keys that
// are no field of the record.
bool keptInRecord(std::string_view section) {
    return section != "Sky_View";
}

bool isRecordKey(std::string_view section, std::string_view key) {
    const std::vector<SettingKey>& keys = settingKeys();
    return std::any_of(keys.begin(), keys.end(), [&](const SettingKey& k) {
        return k.section == section && k.readKey == key;
    });
}

} // namespace

bool Settings::AddedKey::operator<(const AddedKey& other) const {
    return std::pair(lowered(section), lowered(key)) <
           std::pair(lowered(other.section), lowered(other.key));
}

std::string Settings::value(std::string_view section, std::string_view key,
                            std::string_view defaultValue) const {
    auto found = added.find({std::string(section), std::string(key)});
    return found != added.end() ? found->second : std::string(defaultValue);
}

std::string Settings::value(std::string_view section, std::string_view key) const {
    return value(section, key, schemaRow(section, key).defaultText);
}

std::function<std::optional<std::string>(std::string_view key)>
Settings::lookup(std::string_view section) const {
    return [this, section = std::string(section)](std::string_view key) {
        auto found = added.find({section, std::string(key)});
        return found == added.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
}

void Settings::setValue(std::string_view section, std::string_view key, std::string_view text) {
    added[{std::string(section), std::string(key)}] = std::string(text);
}

void Load_Config_file(Settings& settings, const std::string& iniPath) {
    std::error_code ec;
    if (!std::filesystem::exists(iniPath, ec)) {
        return;
    }
    IniDocument document = loadIniFile(iniPath);
    for (const SettingKey& key : settingKeys()) {
        std::string value = document.get(key.section, key.readKey);
        if (key.text != nullptr) {
            settings.*key.text = value;
        } else {
            // A check box takes the rounded value; anything but 1 shows as off.
            settings.*key.check =
                numbers::roundHalfEven(numbers::leadingNumber(value)) == 1 ? 1 : 0;
        }
    }
    settings.added.clear();
    std::set<std::string_view> sectionsRead;
    for (const SchemaRow& row : settingsSchema()) {
        if (!keptInRecord(row.section)) {
            continue;
        }
        if (row.section == "General") {
            if (!isRecordKey(row.section, row.key) && document.has(row.section, row.key)) {
                settings.setValue(row.section, row.key, document.get(row.section, row.key));
            }
        } else if (sectionsRead.insert(row.section).second) {
            // Every key of a newer section, known or not, is kept as the file has it.
            for (const std::string& key : document.keys(row.section)) {
                settings.setValue(row.section, key, document.get(row.section, key));
            }
        }
    }
}

bool Save_Config_file(const Settings& settings, const std::string& iniPath) {
    std::optional<IniDocument> document = loadIniFileForUpdate(iniPath);
    if (!document) {
        return false;
    }
    // A value is read cut to kMaxValueLength; one that still reads so keeps the file's whole text.
    auto set = [&document](std::string_view section, std::string_view key,
                           const std::string& value) {
        if (value.size() < kMaxValueLength || document->get(section, key) != value) {
            document->set(section, key, value);
        }
    };
    for (const SettingKey& key : settingKeys()) {
        std::string value =
            key.text != nullptr ? settings.*key.text : std::to_string(settings.*key.check);
        set(key.section, key.writeKey, value);
    }
    for (const auto& [key, value] : settings.added) {
        set(key.section, key.key, value);
    }
    return saveIniFile(iniPath, *document);
}

bool Create_Config_file(const std::string& iniPath) {
    std::optional<IniDocument> document = loadIniFileForUpdate(iniPath);
    if (!document) {
        return false;
    }
    for (const SettingKey& key : settingKeys()) {
        std::string value =
            std::string_view(key.field) == "Filename" ? defaultTrackingFile() : key.defaultValue;
        document->set(key.section, key.writeKey, value);
    }
    for (const WindowKey& key : windowKeys()) {
        document->set(kWindowSection, key.key, key.defaultValue);
    }
    return saveIniFile(iniPath, *document);
}

const std::vector<ComboList>& comboLists() {
    static const std::vector<std::string> bauds = {"600",  "1200",  "2400",  "4800",
                                                   "9600", "19200", "38400", "57600"};
    static const std::vector<std::string> parities = {"E", "N", "O"};
    static const std::vector<std::string> bits = {"4", "5", "6", "7", "8"};
    static const std::vector<std::string> stopBits = {"1", "2"};
    static const std::vector<ComboList> lists = {
        {"RtxPort", ports(21)},
        {"RtxPort2", ports(21)},
        {"RtxBaud", bauds},
        {"Parity", parities},
        {"Bits", bits},
        {"StopBit", stopBits},
        {"RotorPort", ports(16)},
        {"RotorBaud", bauds},
        {"RotorParity", parities},
        {"RotorBits", bits},
        {"RotorStopbit", stopBits},
        {"Contollo_Flusso", {"None", "Xon/Xoff", "RTS/CTS", "RTS&XOnXOff"}},
        {"Refresh_Rotore", {"None", "1", "2", "3", "4", "5"}},
        {"Virtual_PTT", ports(16)},
        {"Reale_PTT", ports(16)},
        {"Sun_combo", {"Moon", "Sun", "Cas A", "Cyg A", "Tau A", "Vir A"}},
    };
    return lists;
}

const std::vector<std::string>& comboItems(std::string_view field) {
    static const std::vector<std::string> none;
    for (const ComboList& list : comboLists()) {
        if (field == list.field) {
            return list.items;
        }
    }
    return none;
}

std::string defaultTrackingFile() {
#ifdef _WIN32
    return "C:\\WSJT\\wsjtx\\bin\\azel.dat";
#else
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (dataHome != nullptr && *dataHome != '\0') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return (base / "WSJT-X" / "azel.dat").string();
#endif
}

} // namespace kelvora::config
