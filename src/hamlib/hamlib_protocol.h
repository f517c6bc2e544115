// Hamlib's network protocol (rigctld, rotctld) as plain text: the commands Kelvora sends, a
// line reader for what comes back, and the readers of the replies. Standard library only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::hamlib {

// The text without leading and trailing blanks and tabs.
std::string_view trimmed(std::string_view text);

// Hamlib's error numbers as they appear, negated, in "RPRT -n".
namespace errors {
constexpr int kOk = 0;
constexpr int kInvalidArgument = 1; // RIG_EINVAL: "Invalid parameter"
constexpr int kNotImplemented = 4;  // RIG_ENIMPL: "Feature not implemented"
constexpr int kIoError = 6;         // RIG_EIO: "IO error"
constexpr int kRejected = 9;        // RIG_ERJCTED: "Command rejected by the rig"
constexpr int kNotAvailable = 11;   // RIG_ENAVAIL: "Feature not available"
} // namespace errors

// "RPRT -11 (not available)": the report with the meaning of Hamlib's error number, where known.
std::string reportText(int code);

// rigctld commands. Frequencies are whole hertz.
std::string setFrequencyCommand(long long hz);      // "F 144125000\n"
std::string setSplitFrequencyCommand(long long hz); // "I 144125000\n"
std::string splitOnVfoBCommand();                   // "S 1 VFOB\n"
std::string splitOffCommand();                      // "S 0 VFOA\n"
enum class Vfo { A, B };
std::string selectVfoCommand(Vfo vfo); // "V VFOA\n" or "V VFOB\n"
std::string copyVfoAToBCommand();      // "G CPY\n"
std::string getFrequencyCommand();     // "f\n"
std::string getSplitCommand();         // "s\n"
// The receiver's level by Hamlib's name: STRENGTH (dB over S9) or RAWSTR (the radio's own scale).
std::string getLevelCommand(std::string_view level); // "l STRENGTH\n"

// rotctld commands. Angles go out with six decimals, as rotctl sends them.
std::string setPositionCommand(double azimuth, double elevation); // "P 123.400000 45.600000\n"
std::string dumpStateCommand();                                   // "\\dump_state\n"
std::string getPositionCommand();                                 // "p\n"
std::string stopCommand();                                        // "S\n"
std::string parkCommand();                                        // "K\n"

// Splits a byte stream into lines. The buffer never holds more than twice the longest line;
// a line longer than that bound is dropped up to its LF and counted.
// - feed() takes what fits and says how much it took, so a caller reads no more than room().
// - nextLine() gives a complete line without its LF and a CR before it.
class LineReader {
public:
    static constexpr std::size_t kDefaultMaxLine = 256;
    explicit LineReader(std::size_t maxLine = kDefaultMaxLine) : m_maxLine(maxLine) {}

    std::size_t feed(std::string_view bytes);
    std::size_t room() const { return 2 * m_maxLine - m_buffer.size(); }
    std::optional<std::string> nextLine();
    // Lines dropped for being longer than the bound, since construction or clear().
    int overlongLines() const { return m_overlong; }
    // Bytes of an unfinished line waiting for its LF.
    bool holdsPartialLine() const { return !m_buffer.empty() || m_skipping; }
    void clear();

private:
    std::size_t m_maxLine;
    std::string m_buffer;
    bool m_skipping = false; // inside an overlong line: drop up to the next LF
    int m_overlong = 0;
};

// Reply readers: the value, or nothing for a line that is not this reply (the only way they fail,
// so they carry no reason).
// "RPRT n" with a whole number n.
std::optional<int> parseReport(std::string_view line);
// A frequency line of rigctld's `f`: whole hertz, 1 Hz to 1 THz (a fraction is refused).
std::optional<long long> parseFrequency(std::string_view line);
// One angle line of rotctld's `p`: a finite decimal in -360 to 540 degrees.
std::optional<double> parseAngle(std::string_view line);

struct Position {
    double azimuth = 0;
    double elevation = 0;
    bool operator==(const Position&) const = default;
};
// The two lines of `p`; both must read, or neither is used.
std::optional<Position> parsePosition(std::string_view azimuthLine, std::string_view elevationLine);

// A strict decimal number (sign, digits, one point; blanks around), finite; for replies and for
// the arguments the server reads.
std::optional<double> parseDecimal(std::string_view text);

} // namespace kelvora::hamlib
