// The horizon mask: parsing its text and the elevation between its points.
#include "station/horizon_mask.h"

#include "station/station_text.h"

#include <algorithm>
#include <cmath>

namespace kelvora::station {

using text::inQuotes;
using text::number;
using text::plain;
using text::trim;

namespace {

// One "azimuth,elevation" line after `previousAz` (none for the first); the reason it is no
// point, or empty.
std::string readPoint(std::string_view content, const double* previousAz, double& az, double& el) {
    std::size_t comma = content.find(',');
    if (comma == std::string_view::npos || content.find(',', comma + 1) != std::string::npos) {
        return inQuotes(content) + " is not \"azimuth,elevation\"";
    }
    std::optional<double> a = number(content.substr(0, comma));
    std::optional<double> e = number(content.substr(comma + 1));
    if (!a || !e) {
        return inQuotes(content) + " is not two numbers";
    }
    if (*a < 0 || *a > 360) {
        return "azimuth " + plain(*a) + " is outside 0..360";
    }
    if (*e < -90 || *e > 90) {
        return "elevation " + plain(*e) + " is outside -90..90";
    }
    if (previousAz && *a == *previousAz) {
        return "azimuth " + plain(*a) + " is repeated";
    }
    if (previousAz && *a < *previousAz) {
        return "azimuth " + plain(*a) + " is below the previous " + plain(*previousAz);
    }
    az = *a;
    el = *e;
    return {};
}

} // namespace

double HorizonMask::elevationAt(double az) const {
    std::size_t n = m_az.size();
    if (n == 0) {
        return 0;
    }
    if (n == 1) {
        return m_el.front();
    }
    double a = std::fmod(az, 360.0);
    if (a < 0) {
        a += 360.0;
    }
    std::size_t i =
        static_cast<std::size_t>(std::upper_bound(m_az.begin(), m_az.end(), a) - m_az.begin());
    double az0, el0, az1, el1;
    if (i == 0 || i == n) {
        // Between the last point and the first one, across 360.
        az0 = m_az.back();
        el0 = m_el.back();
        az1 = m_az.front() + 360.0;
        el1 = m_el.front();
        if (a < m_az.front()) {
            a += 360.0;
        }
    } else {
        az0 = m_az[i - 1];
        el0 = m_el[i - 1];
        az1 = m_az[i];
        el1 = m_el[i];
    }
    double span = az1 - az0;
    return span <= 0 ? el0 : el0 + (el1 - el0) * (a - az0) / span;
}

Parsed<HorizonMask> HorizonMask::parse(std::string_view text, std::string_view path) {
    HorizonMask mask;
    // Files saved by Windows editors start with a UTF-8 byte-order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::string where = "Horizon file " + std::string(path);
    std::size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        std::string_view raw =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view content = trim(raw.substr(0, raw.find('#')));
        if (content.empty()) {
            continue;
        }
        double az = 0, el = 0;
        const double* previous = mask.m_az.empty() ? nullptr : &mask.m_az.back();
        if (std::string why = readPoint(content, previous, az, el); !why.empty()) {
            return parseFailure<HorizonMask>(where + ", line " + std::to_string(line) + ": " + why);
        }
        mask.m_az.push_back(az);
        mask.m_el.push_back(el);
    }
    if (mask.m_az.empty()) {
        return parseFailure<HorizonMask>(where + ": no points");
    }
    return {std::move(mask), {}};
}

} // namespace kelvora::station
