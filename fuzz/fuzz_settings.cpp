// Fuzzes the settings file: any text read, every key written and read again, and the bulk
// save and load of the settings record through a file.
#include "config/ini_file.h"
#include "config/settings.h"
#include "fuzz_input.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

using kelvora::config::IniDocument;
using kelvora::config::kMaxValueLength;
using kelvora::config::SettingKey;
using kelvora::config::settingKeys;
using kelvora::config::Settings;
using kelvora::fuzz::check;

namespace {

std::string g_folder;
std::string g_iniPath;

void removeFolder() {
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
}

// What reading a written value gives back: blanks around it dropped, cut to the read limit.
std::string readBack(std::string_view value) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
        value.remove_prefix(1);
    }
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
        value.remove_suffix(1);
    }
    return std::string(value.substr(0, kMaxValueLength));
}

// A value as the dialog can hold it: a line break cannot be stored in one line of the file.
std::string storable(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '\r' && c != '\n') {
            out += c;
        }
    }
    return out;
}

// Every key the file holds for the record, and the "Window" keys.
std::vector<std::string> snapshot(const IniDocument& doc) {
    std::vector<std::string> values;
    for (const SettingKey& key : settingKeys()) {
        values.push_back(doc.get(key.section, key.readKey));
    }
    for (const auto& key : kelvora::config::windowKeys()) {
        values.push_back(doc.get(kelvora::config::kWindowSection, key.key));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed where there is one: the file part runs on every input.
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    pattern += "/kelvora-fuzz-settings-XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back('\0');
    if (::mkdtemp(folder.data()) == nullptr) {
        return 1;
    }
    g_folder = folder.data();
    g_iniPath = g_folder + "/Kelvora.ini";
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    // The file text, then NUL, then one NUL-terminated value per text key, then one byte per
    // check box.
    std::string_view fileText = in.until('\0');
    const std::vector<SettingKey>& keys = settingKeys();
    std::vector<std::string> values;
    for (const SettingKey& key : keys) {
        values.push_back(key.text != nullptr ? storable(in.until('\0')) : std::string());
    }
    Settings record;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].text != nullptr) {
            record.*keys[i].text = values[i];
        } else {
            record.*keys[i].check = static_cast<std::int8_t>(in.byte());
            values[i] = std::to_string(record.*keys[i].check);
        }
    }

    // Reading any text.
    IniDocument doc(fileText);
    const std::vector<std::string> original = snapshot(doc);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        check(original[i].size() <= kMaxValueLength, "values read are cut", keys[i].readKey);
        check(original[i].empty() || doc.has(keys[i].section, keys[i].readKey),
              "a value comes from a key that is there");
    }
    IniDocument unchanged(doc.text());
    check(snapshot(unchanged) == original, "text() keeps every value");

    // Writing every key, then reading the text again.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        doc.set(keys[i].section, keys[i].writeKey, values[i]);
    }
    IniDocument again(doc.text());
    std::vector<std::string> after = snapshot(again);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        check(after[i] == readBack(values[i]), "a written key reads back", keys[i].readKey);
        check(again.get(keys[i].section, keys[i].writeKey) == after[i],
              "read and write names address one entry", keys[i].writeKey);
    }
    for (std::size_t i = keys.size(); i < after.size(); ++i) {
        check(after[i] == original[i], "the Window keys stay as they were");
    }

    // The bulk operations through a file holding the same text.
    {
        std::ofstream out(g_iniPath, std::ios::binary | std::ios::trunc);
        out << fileText;
    }
    check(kelvora::config::Save_Config_file(record, g_iniPath), "saving succeeds");
    Settings loaded;
    kelvora::config::Load_Config_file(loaded, g_iniPath);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].text != nullptr) {
            check(loaded.*keys[i].text == readBack(values[i]), "a saved field loads back",
                  keys[i].field);
        } else {
            int expected = record.*keys[i].check == 1 ? 1 : 0;
            check(loaded.*keys[i].check == expected, "a check box loads as on or off",
                  keys[i].field);
        }
    }
    std::vector<std::string> saved = snapshot(kelvora::config::loadIniFile(g_iniPath));
    for (std::size_t i = keys.size(); i < saved.size(); ++i) {
        check(saved[i] == original[i], "saving keeps the Window keys");
    }
    return 0;
}
