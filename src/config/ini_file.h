// The settings file format: INI text with case-insensitive sections and keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::config {

// Values read back are cut to this many characters.
inline constexpr std::size_t kMaxValueLength = 254;

// An INI text held in memory. Editing keeps every other line, comment and section as it was.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // Empty when the section or key is missing; at most kMaxValueLength characters.
    std::string get(std::string_view section, std::string_view key) const;
    bool has(std::string_view section, std::string_view key) const;
    // The key names of a section in file order, as spelt in the file.
    std::vector<std::string> keys(std::string_view section) const;
    // Replaces the value in place, or adds the key (and the section) when missing. Nothing ever
    // writes a line break: one in the value becomes a space; one in the section or key name is
    // refused (false, the document unchanged).
    bool set(std::string_view section, std::string_view key, std::string_view value);
    std::string text() const;

private:
    std::vector<std::string> m_lines;
    bool m_crlf = false;
    bool m_byteOrderMark = false;
};

// Reads a whole file into a document; an unreadable or missing file gives an empty one.
IniDocument loadIniFile(const std::string& path);
// As loadIniFile, but std::nullopt when the file exists and cannot be read, so that a writer
// never replaces a file it could not read.
std::optional<IniDocument> loadIniFileForUpdate(const std::string& path);
// Writes through a temporary file beside `path` renamed over it, so a half-written file is never
// left behind. False when anything fails (the old file then stays as it was). A symbolic link
// is followed: its target is replaced, keeping its permissions, and the link stays.
bool saveIniFile(const std::string& path, const IniDocument& document);
// The same atomic write for any text file (rotor.dat).
bool writeFileAtomically(const std::string& path, std::string_view text);

// One key read and one key written, the way every caller uses the settings file.
std::string ReadStringIni(std::string_view sSection, std::string_view sKeyName,
                          const std::string& sFileName);
bool WriteStringIni(std::string_view sSection, std::string_view sKeyName, std::string_view sString,
                    const std::string& sFileName);

} // namespace kelvora::config
