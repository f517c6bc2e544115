// The files a calibration writes: calibration.log beside the settings (one record per scan) and
// rotor.dat with the fitted correction added, the previous file kept as a dated backup.
#pragma once

#include "calibration/scan.h"
#include "state/parsed.h"

#include <string>
#include <string_view>

namespace kelvora::calibration {

// One scan as calibration.log keeps it: a line with the time (UTC), the source, the correction,
// the fit and its verdict, then a line per point with its offsets and power, then a blank line.
std::string logRecord(std::string_view utcText, const Scan& scan, const BeamFit& fit,
                      const Correction& correction);
// Appends to calibration.log in `folder`; false when it cannot be written.
bool appendToLog(const std::string& folder, std::string_view record);

// rotor.dat's text with `azDeg` added to every azimuth correction and `elDeg` to every elevation
// one, to the hundredth (in decimal, so a correction moves by exactly the offset); every other
// byte as it was. Refused for a file that is not 361 + 91 "angle,correction" lines.
Parsed<std::string> shiftRotorDat(std::string_view text, double azDeg, double elDeg);

// Applies the correction to rotor.dat in `folder`: the old file copied to
// rotor.dat.bak-YYYYMMDD-HHMMSS (`stamp`), the new one written atomically. The error says what
// failed; the old file then stays as it was.
std::string applyToRotorDat(const std::string& folder, const Correction& correction,
                            std::string_view stamp);

} // namespace kelvora::calibration
