// Fuzzes the Hamlib text readers: the rotctld session, the line reader and the reply readers.
#include "fuzz_input.h"
#include "hamlib/hamlib_protocol.h"
#include "hamlib/rotctld_server.h"

#include <algorithm>
#include <cmath>

using kelvora::fuzz::check;
namespace hamlib = kelvora::hamlib;

namespace {

// The session: input in chunks whose sizes the fuzzer picks. Every answer is whole lines, all
// of them a bounded amount per command line, and nothing comes after the conversation ended.
void session(kelvora::fuzz::FuzzInput& in, bool allowMoves) {
    int moves = 0;
    hamlib::RotorAccess access{
        [] {
            return hamlib::Position{123.4, -5.25};
        },
        [&](const hamlib::MoveRequest& m) {
            // The station rules judge the limits; the session hands
            // over only numbers they can judge.
            check(m.kind != hamlib::MoveKind::SetPosition ||
                      (std::isfinite(m.target.azimuth) && std::isfinite(m.target.elevation)),
                  "a move is a finite position");
            ++moves;
            return 0;
        },
        hamlib::RotorLimits{}, allowMoves, "Kelvora"};
    hamlib::RotctldSession s(access);
    // Lines after a move wait for a later answer(), so the bound holds over the conversation.
    std::size_t linesTaken = 0, bytesTaken = 0, answered = 0;
    while (!in.empty() && !s.closed()) {
        std::size_t chunk = 1 + in.byte() % 64;
        std::string_view bytes = in.rest().substr(0, chunk);
        std::string taken(bytes.substr(0, s.feed(bytes)));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            in.byte();
        }
        std::string out;
        s.answer(out, 1000);
        check(out.empty() || out.back() == '\n', "answers are whole lines", out);
        // A CR ends a line too.
        linesTaken += static_cast<std::size_t>(std::count_if(
            taken.begin(), taken.end(), [](char c) { return c == '\n' || c == '\r'; }));
        bytesTaken += taken.size();
        answered += out.size();
        // An extended answer repeats the command's arguments, up to a whole line's worth.
        check(answered <= 400 * (1 + linesTaken) + 2 * bytesTaken, "answers are bounded per line");
        check(out.find('\0') == std::string::npos, "answers are text");
        if (s.closed()) {
            std::string after;
            s.answer(after);
            check(after.empty() && s.feed("p\n") == 0, "nothing after the end");
        }
    }
    check(allowMoves || moves == 0, "no move unless allowed");
}

void lines(std::string_view text) {
    hamlib::LineReader reader(32);
    while (!text.empty()) {
        text.remove_prefix(reader.feed(text));
        check(reader.room() <= 64, "the buffer stays bounded");
        while (auto line = reader.nextLine()) {
            check(line->size() <= 32 && line->find('\n') == std::string::npos, "a line", *line);
        }
    }
}

void replies(std::string_view text) {
    if (std::optional<int> code = hamlib::parseReport(text)) {
        check(std::abs(*code) <= 1000, "a report number in range");
    }
    if (std::optional<long long> hz = hamlib::parseFrequency(text)) {
        check(*hz >= 1 && *hz <= 1'000'000'000'000LL, "a frequency in range");
        check(hamlib::parseFrequency(std::to_string(*hz)) == hz, "reads back");
    }
    if (std::optional<double> angle = hamlib::parseAngle(text)) {
        check(std::isfinite(*angle) && *angle >= -360 && *angle <= 540, "an angle in range");
    }
    std::size_t lf = text.find('\n');
    std::optional<hamlib::Position> p = hamlib::parsePosition(
        text.substr(0, lf), lf == std::string_view::npos ? "" : text.substr(lf + 1));
    if (p) {
        check(p->azimuth == hamlib::parseAngle(text.substr(0, lf)), "the azimuth line read alone");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    switch (in.byte() % 4) {
    case 0:
    case 1:
        session(in, in.byte() & 1);
        break;
    case 2:
        lines(in.rest());
        break;
    default:
        replies(in.rest());
        break;
    }
    return 0;
}
