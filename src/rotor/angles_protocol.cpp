// Corrections, limits and angle texts shared by every rotor protocol.
#include "rotor/angles_protocol.h"

#include "state/numbers.h"

#include <cmath>

namespace kelvora::rotor {

namespace {

// The table entry at the angle rounded to a whole degree; an empty or non-numeric entry is 0.
template <std::size_t N>
std::optional<double> correction(double angle, const std::array<std::string, N>& table) {
    std::int64_t index = numbers::roundHalfEven(angle);
    if (index < 0 || index >= static_cast<std::int64_t>(N)) {
        return std::nullopt;
    }
    return numbers::leadingNumber(table[static_cast<std::size_t>(index)]);
}

} // namespace

std::optional<double> correctAz(double az, const Corrections& corrections) {
    std::optional<double> c = correction(az, corrections.az);
    return c ? std::optional<double>(az + *c) : std::nullopt;
}

std::optional<double> correctEl(double el, const Corrections& corrections) {
    std::optional<double> c = correction(el, corrections.el);
    return c ? std::optional<double>(el + *c) : std::nullopt;
}

double limit(double value, double low, double high) {
    if (value > high) {
        return high;
    }
    if (value < low) {
        return low;
    }
    return value;
}

std::optional<AzEl> prepareAzEl(double az, double el, const Corrections& corrections) {
    if (el < 0) {
        return std::nullopt;
    }
    if (el > 90) {
        el = 180 - el; // over the top: the elevation axis goes past the zenith
    }
    std::optional<double> a = correctAz(az, corrections);
    std::optional<double> e = correctEl(el, corrections);
    if (!a || !e) {
        return std::nullopt;
    }
    return AzEl{limit(*a, 0, 360), limit(*e, 0, 90)};
}

std::optional<AzEl> prepareMechanical(double az, double el, const Corrections& corrections,
                                      const MechanicalLimits& limits) {
    if (limits.elHigh <= 90 && el > 90) {
        el = 180 - el;
    }
    double skyAz = std::fmod(az, 360.0);
    skyAz += skyAz < 0 ? 360 : 0;
    const bool over = el > 90; // the table holds the elevation seen from the horizon
    const double skyEl = over ? 180 - el : el;
    std::optional<double> a = correctAz(skyAz, corrections);
    std::optional<double> e = correctEl(skyEl, corrections);
    if (!a || !e) {
        return std::nullopt;
    }
    const double elCorrection = *e - skyEl;
    return AzEl{limit(az + (*a - skyAz), limits.azLow, limits.azHigh),
                limit(over ? el - elCorrection : el + elCorrection, 0, limits.elHigh)};
}

std::optional<double> prepareAz(double az, const Corrections& corrections) {
    std::optional<double> a = correctAz(az, corrections);
    if (!a) {
        return std::nullopt;
    }
    return limit(*a, 0, 360);
}

std::optional<AzElText> decimalAngles(std::string_view azText, std::string_view elText,
                                      double azInt, double elInt, const Corrections& corrections) {
    double el = numbers::leadingNumber(elText);
    if (el < 0) {
        return std::nullopt;
    }
    std::optional<double> azCorrection = correction(azInt, corrections.az);
    // Over the zenith the antenna points at 180 - el, so that is the correction that applies.
    std::optional<double> elCorrection =
        correction(elInt > 90 ? 180 - elInt : elInt, corrections.el);
    if (!azCorrection || !elCorrection) {
        return std::nullopt;
    }
    auto withPoint = [](const std::string& text) {
        return text.find('.') == std::string::npos ? text + ".0" : text;
    };
    AzElText out;
    out.az = withPoint(decText(numbers::leadingNumber(azText) + *azCorrection));
    out.el = withPoint(decText(el + *elCorrection));
    if (numbers::leadingNumber(out.el) > 90) {
        out.el = decText(180 - numbers::leadingNumber(out.el));
    }
    return out;
}

std::string nearestText(double x) {
    return std::to_string(numbers::roundHalfEven(x));
}

std::string decText(double x) {
    return numbers::toText(x);
}

} // namespace kelvora::rotor
