// Reading the horizon mask file, again whenever its size or write time changes.
#include "station/horizon_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kelvora::station {

namespace {

constexpr std::uintmax_t kMaxHorizonFileSize = 1 << 20;

} // namespace

std::string horizonPath(std::string_view name, std::string_view programFolder) {
    std::filesystem::path p{std::string(name)};
    if (p.is_absolute()) {
        return p.string();
    }
    return (std::filesystem::path{std::string(programFolder)} / p).string();
}

void HorizonFile::configure(std::string_view name, std::string_view programFolder) {
    m_path = name.empty() ? std::string() : horizonPath(name, programFolder);
    m_stamp.clear();
    m_mask = HorizonMask();
    m_error.clear();
    refresh();
}

void HorizonFile::refresh() {
    if (m_path.empty()) {
        return;
    }
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(m_path, ec);
    std::filesystem::file_time_type written = std::filesystem::last_write_time(m_path, ec);
    std::string stamp =
        ec ? std::string("missing")
           : std::to_string(size) + "/" + std::to_string(written.time_since_epoch().count());
    if (stamp == m_stamp) {
        return;
    }
    m_stamp = stamp;
    m_mask = HorizonMask();
    if (ec) {
        m_error = "Horizon file " + m_path + ": cannot be read (" + ec.message() + ")";
        return;
    }
    if (size > kMaxHorizonFileSize) {
        m_error = "Horizon file " + m_path + ": larger than 1 MB";
        return;
    }
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    if (!in) {
        m_error = "Horizon file " + m_path + ": cannot be read";
        return;
    }
    Parsed<HorizonMask> mask = HorizonMask::parse(contents.str(), m_path);
    m_error = mask.error;
    if (mask) {
        m_mask = std::move(*mask.value);
    }
}

} // namespace kelvora::station
