#include "sim/simulated_receiver.h"

#include <algorithm>
#include <cmath>

namespace kelvora::sim {

namespace {
constexpr double kRad = 3.14159265358979323846 / 180;
}

double angleBetweenDeg(double az1, double el1, double az2, double el2) {
    // The haversine form keeps its precision for the small angles of a scan.
    const double dEl = (el2 - el1) * kRad, dAz = (az2 - az1) * kRad;
    const double h = std::pow(std::sin(dEl / 2), 2) +
                     std::cos(el1 * kRad) * std::cos(el2 * kRad) * std::pow(std::sin(dAz / 2), 2);
    return 2 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0))) / kRad;
}

double SimulatedReceiver::powerDb(double antennaAz, double antennaEl, double sourceAz,
                                  double sourceEl) {
    const double theta = angleBetweenDeg(antennaAz, antennaEl, sourceAz, sourceEl);
    const double power =
        floor + floor * flux * std::exp(-4 * std::log(2.0) * theta * theta / (beamDeg * beamDeg));
    std::normal_distribution<double> gauss(0.0, noise);
    return 10 * std::log10(std::max(power * (1 + gauss(m_random)), 1e-12));
}

} // namespace kelvora::sim
