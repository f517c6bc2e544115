// The beam fit of a pointing scan: a 2-D Gaussian main beam on a noise floor, fitted by least
// squares to the powers of the scan's points. Pure: numbers in, numbers out.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace kelvora::calibration {

// One point of a scan, relative to where the source is computed to stand.
struct ScanPoint {
    double crossElDeg = 0; // azimuth offset on the sky: the azimuth offset times cos(elevation)
    double elDeg = 0;
    double powerDb = 0; // the receiver's reading, any fixed reference
};

struct BeamFit {
    // Where the beam's peak lies, relative to the source: the antenna points best there.
    double crossElDeg = 0, elDeg = 0;
    double crossElSigmaDeg = 0, elSigmaDeg = 0; // one standard deviation
    double beamDeg = 0;                         // fitted half-power width
    double floorDb = 0;                         // the fitted floor
    double peakDb = 0;                          // floor and source at the peak
    std::optional<double> sourceNoiseDb;        // the Y-factor against the cold sky
    bool trustworthy = false;
    std::string verdict; // why the fit cannot be trusted; empty when it can
};

// Fits the points. `beamDeg` is the expected half-power width (the starting guess and the scale
// of the trust rules), `spanDeg` how far the scan reached either side; `coldSkyDb` the reading
// off the source, for the Y-factor. The fit is trustworthy when it converged on a source
// (positive height, a width within a factor of three of the expected one), both uncertainties
// are at most a fifth of the beam and the peak lies inside the scan.
BeamFit fitBeam(std::span<const ScanPoint> points, double beamDeg, double spanDeg,
                std::optional<double> coldSkyDb);

} // namespace kelvora::calibration
