// Reader and writer of the settings file.
#include "config/ini_file.h"

#include "state/numbers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace kelvora::config {

namespace {

std::string_view trim(std::string_view s) {
    return numbers::trimmed(s);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x < 128 && y < 128 && std::tolower(x) != std::tolower(y)) {
            return false;
        }
        if ((x >= 128 || y >= 128) && x != y) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line, or nothing.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return false;
    }
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return false;
    }
    name = trim(line.substr(1, close - 1));
    return true;
}

bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') {
        return false;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return false;
    }
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    return !key.empty();
}

} // namespace

IniDocument::IniDocument(std::string_view text) {
    // A byte-order mark (a Windows editor's) is no part of the first section's name; it is
    // written back as it was.
    m_byteOrderMark = text.starts_with("\xEF\xBB\xBF");
    if (m_byteOrderMark) {
        text.remove_prefix(3);
    }
    m_crlf = text.find("\r\n") != std::string_view::npos;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_lines.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

bool IniDocument::has(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : m_lines) {
        std::string_view name, k, v;
        if (sectionName(line, name)) {
            inSection = equalsNoCase(name, section);
        } else if (inSection && keyValue(line, k, v) && equalsNoCase(k, key)) {
            return true;
        }
    }
    return false;
}

std::string IniDocument::get(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : m_lines) {
        std::string_view name, k, v;
        if (sectionName(line, name)) {
            inSection = equalsNoCase(name, section);
        } else if (inSection && keyValue(line, k, v) && equalsNoCase(k, key)) {
            return std::string(v.substr(0, kMaxValueLength));
        }
    }
    return {};
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> names;
    bool inSection = false;
    for (const std::string& line : m_lines) {
        std::string_view name, k, v;
        if (sectionName(line, name)) {
            inSection = equalsNoCase(name, section);
        } else if (inSection && keyValue(line, k, v)) {
            names.emplace_back(k);
        }
    }
    return names;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    // A line break would start new lines (sections, keys) of its own in the file.
    constexpr std::string_view lineBreaks = "\r\n";
    if (section.find_first_of(lineBreaks) != std::string_view::npos ||
        key.find_first_of(lineBreaks) != std::string_view::npos) {
        return false;
    }
    std::string oneLine(value);
    std::replace_if(
        oneLine.begin(), oneLine.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    value = oneLine;
    bool inSection = false;
    std::size_t sectionEnd = m_lines.size(); // line after the last line of the matched section
    bool sectionFound = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view name, k, v;
        if (sectionName(m_lines[i], name)) {
            if (inSection) {
                break;
            }
            inSection = equalsNoCase(name, section);
            if (inSection) {
                sectionFound = true;
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (keyValue(m_lines[i], k, v) && equalsNoCase(k, key)) {
                m_lines[i] = std::string(k) + "=" + std::string(value);
                return true;
            }
            if (!trim(m_lines[i]).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    std::string entry = std::string(key) + "=" + std::string(value);
    if (sectionFound) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
        return true;
    }
    while (!m_lines.empty() && trim(m_lines.back()).empty()) {
        m_lines.pop_back();
    }
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(entry);
    return true;
}

std::string IniDocument::text() const {
    std::string out = m_byteOrderMark ? "\xEF\xBB\xBF" : "";
    const char* eol = m_crlf ? "\r\n" : "\n";
    for (const std::string& line : m_lines) {
        out += line;
        out += eol;
    }
    return out;
}

IniDocument loadIniFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return IniDocument(buffer.str());
}

std::optional<IniDocument> loadIniFileForUpdate(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return ec ? std::nullopt : std::optional<IniDocument>(IniDocument());
    }
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return IniDocument(buffer.str());
}

namespace {

// Removes the temporary copies beside `path` that saves of processes no longer running left
// behind (a program killed while saving); a copy of a running process is its save in progress.
void removeStaleTemporaries(const std::string& path) {
    std::error_code ec;
    std::filesystem::path file(path);
    std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    const std::string prefix = file.filename().string() + ".tmp";
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) {
            continue; // not a name this writer makes
        }
        pid_t pid = static_cast<pid_t>(std::stol(digits));
        if (pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH) {
            std::filesystem::remove(it->path(), ec);
        }
    }
}

// The file a settings path stands for: a symbolic link (relative, or a chain of them) is
// followed to its target, so a save updates the file the link points to and keeps the link.
std::filesystem::path linkTarget(const std::filesystem::path& path) {
    std::filesystem::path file = path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(file, ec); ++hops) {
        std::filesystem::path target = std::filesystem::read_symlink(file, ec);
        if (ec) {
            break;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

} // namespace

bool saveIniFile(const std::string& linkPath, const IniDocument& document) {
    return writeFileAtomically(linkPath, document.text());
}

namespace {

bool syncToDisk(const std::string& path) {
    int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

bool writeFileAtomically(const std::string& linkPath, std::string_view text) {
    const std::string path = linkTarget(linkPath).string();
    removeStaleTemporaries(path);
    std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::error_code modeError;
    std::filesystem::perms mode = std::filesystem::status(path, modeError).permissions();
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        // The replacement keeps the file's permissions (a 0600 file stays private); it is set
        // before anything is written into it.
        if (!modeError && mode != std::filesystem::perms::unknown) {
            std::filesystem::permissions(temporary, mode, modeError);
        }
        out << text;
        out.close();
        // On the disk before it replaces the file, so that a power cut leaves the old file or
        // the new one, never an empty one.
        if (!out || !syncToDisk(temporary)) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return false;
    }
    syncToDisk(std::filesystem::path(path).parent_path().string()); // the rename itself
    return true;
}

std::string ReadStringIni(std::string_view sSection, std::string_view sKeyName,
                          const std::string& sFileName) {
    return loadIniFile(sFileName).get(sSection, sKeyName);
}

bool WriteStringIni(std::string_view sSection, std::string_view sKeyName, std::string_view sString,
                    const std::string& sFileName) {
    std::optional<IniDocument> document = loadIniFileForUpdate(sFileName);
    if (!document) {
        return false;
    }
    return document->set(sSection, sKeyName, sString) && saveIniFile(sFileName, *document);
}

} // namespace kelvora::config
