// The settings record: one field per settings key, named after the dialog control that edits it.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::config {

struct Settings {
    // COM_RTX
    std::string RtxPort, RtxPort2, RtxType, RtxBaud, Parity, Bits, StopBit;
    std::string IcomAddr = "10", IcomAddr1 = "10", Offset = "144000";
    // COM_Rotor
    std::string RotorPort, RotorType, RotorBaud, RotorParity, RotorBits, RotorStopbit;
    std::string RotorTimeOutDelay = "0", RotorPaceDelay = "0", Refresh_Rotore;
    // Linrad
    std::string Linrad_IP = "0.0.0.0", Linrad_Port = "49812", Linrad_center = "144125000",
                Linrad_offset = "0";
    // General
    std::string Filename;
    int map65_fqso2 = 0, Auto_Start = 0, Autoupdate_flag = 0;
    std::string Contollo_Flusso;
    int Doppler_Check = 0;
    std::string Sun_combo, Virtual_PTT, Reale_PTT;

    // The keys of the newer sections ([Hamlib], [Station], [General] Tracking_Source and the
    // like), each with its row in settings_schema.h. A key is kept as the file has it; one the
    // file lacks reads as its default and is written only once it is set, so that a file without
    // these keys is saved exactly as before.
    std::string value(std::string_view section, std::string_view key,
                      std::string_view defaultValue) const;
    // The key's text, or the default of its schema row.
    std::string value(std::string_view section, std::string_view key) const;
    // The stored texts of a section, for a SectionReader (std::nullopt for a key not set).
    std::function<std::optional<std::string>(std::string_view key)>
    lookup(std::string_view section) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    struct AddedKey {
        std::string section, key;
        bool operator<(const AddedKey& other) const;
    };
    std::map<AddedKey, std::string> added;
};

// One settings key: where it lives in the file and which field holds it.
struct SettingKey {
    const char* section;
    const char* readKey;
    const char* writeKey; // differs from readKey only for the Linrad offset
    const char* field;    // the control's name
    const char* defaultValue;
    std::string Settings::*text = nullptr; // combo and text fields
    int Settings::*check = nullptr;        // check-box fields
};

// Every key of the record in file order (the "Window" keys are not part of the record).
const std::vector<SettingKey>& settingKeys();

// The four "Window" keys and their defaults, in twips.
struct WindowKey {
    const char* key;
    const char* defaultValue;
};
const std::array<WindowKey, 4>& windowKeys();
inline constexpr const char* kWindowSection = "Window";

// Fills the record from the file; a missing file leaves the record as it is.
void Load_Config_file(Settings& settings, const std::string& iniPath);
// Writes every field into the file, keeping every other line as it was.
bool Save_Config_file(const Settings& settings, const std::string& iniPath);
// Writes the default of every key, "Window" keys last; the record is not changed.
bool Create_Config_file(const std::string& iniPath);

// Items offered by each combo of the settings dialog, in order. The rotor and radio type lists
// come from the device tables (tracking/device_lists.h).
struct ComboList {
    const char* field;
    std::vector<std::string> items;
};
const std::vector<ComboList>& comboLists();
const std::vector<std::string>& comboItems(std::string_view field);

// The default tracking file of this platform (WSJT-X's azel.dat as a full path).
std::string defaultTrackingFile();

} // namespace kelvora::config
