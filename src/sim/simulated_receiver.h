// A receiver for the try-it calibration and the tests: a noise floor plus a source seen through
// a Gaussian main beam, with a little seeded noise.
#pragma once

#include <random>

namespace kelvora::sim {

// Responsibilities:
// - powerDb() gives floor + flux × exp(−4 ln 2 · θ² / beam²) in dB, θ the angle between where the
//   antenna really points and the source, with a relative noise of `noise` (standard deviation,
//   of the total power).
// - The same seed gives the same readings.
class SimulatedReceiver {
public:
    explicit SimulatedReceiver(unsigned seed) : m_random(seed) {}

    double powerDb(double antennaAz, double antennaEl, double sourceAz, double sourceEl);

    double beamDeg = 10;
    double floor = 1; // the cold sky, linear
    double flux = 10; // the source on the beam's axis, in units of the floor
    double noise = 0.01;

private:
    std::mt19937 m_random;
};

// The angle between two directions given as azimuth and elevation, degrees.
double angleBetweenDeg(double az1, double el1, double az2, double el2);

} // namespace kelvora::sim
