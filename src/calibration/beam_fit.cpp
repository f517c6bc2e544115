#include "calibration/beam_fit.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace kelvora::calibration {

namespace {

constexpr double kFourLn2 = 2.772588722239781; // 4 ln 2: exp(-4 ln 2 θ²/w²) is 1/2 at θ = w/2
enum Parameter { Floor, Height, X, Y, Width, kParameters };

double linear(double db) {
    return std::pow(10.0, db / 10);
}

// The residuals and their derivatives, in power relative to the strongest point, so that the
// parameters stay near 1 whatever the receiver's reference.
struct GaussianOnFloor {
    using Scalar = double;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;

    std::vector<double> x, y, power;

    int inputs() const { return kParameters; }
    int values() const { return static_cast<int>(power.size()); }

    int operator()(const Eigen::VectorXd& p, Eigen::VectorXd& residuals) const {
        for (int i = 0; i < values(); ++i) {
            residuals[i] = p[Floor] + p[Height] * beam(p, i) - power[i];
        }
        return 0;
    }

    int df(const Eigen::VectorXd& p, Eigen::MatrixXd& jacobian) const {
        const double w = p[Width];
        for (int i = 0; i < values(); ++i) {
            const double g = beam(p, i);
            const double dx = x[i] - p[X], dy = y[i] - p[Y];
            const double k = p[Height] * g * kFourLn2 / (w * w);
            jacobian(i, Floor) = 1;
            jacobian(i, Height) = g;
            jacobian(i, X) = 2 * k * dx;
            jacobian(i, Y) = 2 * k * dy;
            jacobian(i, Width) = 2 * k * (dx * dx + dy * dy) / w;
        }
        return 0;
    }

    double beam(const Eigen::VectorXd& p, int i) const {
        const double dx = x[i] - p[X], dy = y[i] - p[Y];
        return std::exp(-kFourLn2 * (dx * dx + dy * dy) / (p[Width] * p[Width]));
    }
};

std::string degrees(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f°", value);
    return text;
}

// The first trust rule the fit breaks; empty when it keeps them all.
std::string verdictOf(const BeamFit& fit, double height, double beamDeg, double spanDeg) {
    if (!(height > 0) || !(fit.beamDeg > beamDeg / 3 && fit.beamDeg < beamDeg * 3)) {
        return "no source found in the scan";
    }
    const double largest = std::max(fit.crossElSigmaDeg, fit.elSigmaDeg);
    if (!(largest <= beamDeg / 5)) {
        return "uncertainty " + degrees(largest) + " is more than a fifth of the beam (" +
               degrees(beamDeg / 5) + ")";
    }
    if (std::abs(fit.crossElDeg) > spanDeg || std::abs(fit.elDeg) > spanDeg) {
        return "the peak lies outside the scan";
    }
    return {};
}

} // namespace

BeamFit fitBeam(std::span<const ScanPoint> points, double beamDeg, double spanDeg,
                std::optional<double> coldSkyDb) {
    BeamFit fit;
    if (points.size() <= kParameters) {
        fit.verdict = "too few points for a fit";
        return fit;
    }
    GaussianOnFloor model;
    double strongest = -1e300, weakest = 1e300;
    const ScanPoint* peak = &points.front();
    for (const ScanPoint& point : points) {
        strongest = std::max(strongest, point.powerDb);
        weakest = std::min(weakest, point.powerDb);
        if (point.powerDb == strongest) {
            peak = &point;
        }
    }
    const double scale = linear(strongest);
    for (const ScanPoint& point : points) {
        model.x.push_back(point.crossElDeg);
        model.y.push_back(point.elDeg);
        model.power.push_back(linear(point.powerDb) / scale);
    }
    Eigen::VectorXd p(static_cast<int>(kParameters));
    p << linear(weakest) / scale, 1 - linear(weakest) / scale, peak->crossElDeg, peak->elDeg,
        beamDeg;
    Eigen::LevenbergMarquardt<GaussianOnFloor> solver(model);
    const auto status = solver.minimize(p);
    using Space = Eigen::LevenbergMarquardtSpace::Status;
    const bool converged =
        status == Space::RelativeReductionTooSmall || status == Space::RelativeErrorTooSmall ||
        status == Space::RelativeErrorAndReductionTooSmall || status == Space::CosinusTooSmall;

    // The covariance from the Jacobian at the solution and the residuals' own scatter.
    Eigen::MatrixXd jacobian(model.values(), static_cast<int>(kParameters));
    Eigen::VectorXd residuals(model.values());
    model.df(p, jacobian);
    model(p, residuals);
    const double variance = residuals.squaredNorm() / (model.values() - kParameters);
    const Eigen::MatrixXd normal = jacobian.transpose() * jacobian;
    Eigen::FullPivLU<Eigen::MatrixXd> lu(normal);
    fit.crossElDeg = p[X];
    fit.elDeg = p[Y];
    fit.beamDeg = std::abs(p[Width]);
    fit.floorDb = 10 * std::log10(std::max(p[Floor], 1e-30) * scale);
    fit.peakDb = 10 * std::log10(std::max(p[Floor] + p[Height], 1e-30) * scale);
    if (lu.isInvertible()) {
        const Eigen::MatrixXd covariance = variance * lu.inverse();
        fit.crossElSigmaDeg = std::sqrt(std::max(covariance(X, X), 0.0));
        fit.elSigmaDeg = std::sqrt(std::max(covariance(Y, Y), 0.0));
    } else {
        fit.crossElSigmaDeg = fit.elSigmaDeg = INFINITY;
    }
    if (coldSkyDb) {
        fit.sourceNoiseDb = fit.peakDb - *coldSkyDb;
    }
    fit.verdict = converged ? verdictOf(fit, p[Height], beamDeg, spanDeg)
                            : std::string("the fit did not converge");
    fit.trustworthy = fit.verdict.empty();
    return fit;
}

} // namespace kelvora::calibration
