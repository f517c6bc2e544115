// The horizon mask file: the one reader of the file Horizon_File names, for the rules and the
// sky view alike.
#pragma once

#include "station/horizon_mask.h"

#include <string>
#include <string_view>

namespace kelvora::station {

// The mask file named by Horizon_File, read again whenever its size or modification time
// changes, so that a mended file takes effect without a restart.
class HorizonFile {
public:
    // `name` as configured: relative names are taken in `programFolder`. Empty means no mask.
    void configure(std::string_view name, std::string_view programFolder);
    // Re-reads the file if it changed since the last reading; cheap when it did not.
    void refresh();
    const HorizonMask& mask() const { return m_mask; }
    // Why the mask cannot be used ("Horizon file <path>, line 7: ..."); empty when it can.
    const std::string& error() const { return m_error; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_stamp; // size and write time of the last reading
    HorizonMask m_mask;
    std::string m_error;
};

// The resolved path of a Horizon_File value: absolute as is, relative within `programFolder`.
std::string horizonPath(std::string_view name, std::string_view programFolder);

} // namespace kelvora::station
