// SPID set, status and stop frames and their position replies.
#include "rotor/spid_protocol.h"

#include "rotor/angles_protocol.h"
#include "state/numbers.h"

namespace kelvora::rotor {

namespace {

// Frame to the controller, 13 bytes:
//   0      'W' start
//   1..4   H1..H4 azimuth digits (as characters)
//   5      PH azimuth resolution (pulses per degree)
//   6..9   V1..V4 elevation digits (as characters)
//   10     PV elevation resolution
//   11     K command: 0x0F stop, 0x1F status, 0x2F set position
//   12     ' ' end
constexpr char kStart = 'W';
constexpr char kEnd = 0x20;
constexpr char kCmdStop = 0x0F;
constexpr char kCmdStatus = 0x1F;
constexpr char kCmdSet = 0x2F;

std::string frame(std::string_view azField, std::string_view elField, char command) {
    std::string f(1, kStart);
    f += azField;
    f += elField;
    f += command;
    f += kEnd;
    return f;
}

// Digit byte at position p (from 1), or -1 when missing or not 0..9.
int digitAt(std::string_view reply, std::size_t p) {
    if (p > reply.size()) {
        return -1;
    }
    auto b = static_cast<unsigned char>(reply[p - 1]);
    return b <= 9 ? b : -1;
}

} // namespace

std::string rakSetFrame(double az) {
    // The azimuth controller takes whole degrees: "H1 H2 H3 0", PH = 1, then no elevation.
    std::string h = nearestText(az + 360);
    std::string azField = h + "0" + std::string(1, '\x01');
    return frame(azField, std::string(5, '\0'), kCmdSet);
}

std::string rasSetFrame(double az, double el, int resolution) {
    auto field = [resolution](double angle) {
        std::string digits = numbers::padLeft(nearestText(resolution * (angle + 360)), 4);
        return digits + std::string(1, static_cast<char>(resolution));
    };
    return frame(field(az), field(el), kCmdSet);
}

std::string spidStatusFrame() {
    return frame(std::string(10, '\0'), "", kCmdStatus);
}

std::string spidStopFrame() {
    return frame(std::string(10, '\0'), "", kCmdStop);
}

LabelTexts parseRakPosition(std::string_view reply) {
    // Reply: 'W', H1, H2, H3, ' '.
    int h1 = digitAt(reply, 2), h2 = digitAt(reply, 3), h3 = digitAt(reply, 4);
    if (h1 < 0 || h2 < 0 || h3 < 0) {
        return {};
    }
    return {std::to_string(100 * h1 + 10 * h2 + h3 - 360), std::nullopt};
}

LabelTexts parseRasPosition(std::string_view reply) {
    // Reply: 'W', H1..H4, PH, V1..V4, PV, ' '; H4 and V4 are tenths of a degree.
    int d[10];
    for (std::size_t i = 0; i < 4; ++i) {
        d[i] = digitAt(reply, 2 + i);
        d[4 + i] = digitAt(reply, 7 + i);
        if (d[i] < 0 || d[4 + i] < 0) {
            return {};
        }
    }
    auto angle = [](const int* x) {
        return decText((100 * x[0] + 10 * x[1] + x[2] - 360) + x[3] / 10.0);
    };
    return {angle(d), angle(d + 4)};
}

} // namespace kelvora::rotor
