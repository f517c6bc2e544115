// The tracking file caught while WSJT-X rewrites it: whatever part of the new file a reading
// sees, every field ends up with its old value or its new one, never with a piece of either.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "sources/tracking_file.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <thread>
#include <unistd.h>

namespace kelvora {
namespace {

struct Version {
    const char* time;
    const char* az;
    const char* el;
    const char* sunAz;
    const char* sunEl;
    int fqso, fqso2;
    const char* band;
    int dx, my;
};

const Version kOld{"01:02:03", "123.4", " 45.6", "200.1", " 10.2", 125, 126, " 144", -600, 1000};
const Version kNew{"01:07:59", "287.1", " 12.3", " 95.7", "-3.5", 131, 132, " 432", 2345, -4321};

// A tracking file as WSJT-X writes it: Moon and Sun lines, the two QSO frequencies, then the band
// and the Doppler shifts in front of "Doppler" where the reader expects them.
std::string trackingFile(const Version& v) {
    char lines[160];
    std::snprintf(lines, sizeof lines,
                  "%s,%5s,%5s,Moon\r\n%s,%5s,%5s,Sun\r\n%3d,  fQSO\r\n%3d,  fQSO2\r\n", v.time,
                  v.az, v.el, v.time, v.sunAz, v.sunEl, v.fqso, v.fqso2);
    char doppler[64];
    std::snprintf(doppler, sizeof doppler, "%s,%6d,%6d,Doppler", v.band, v.dx, v.my);
    std::string head = lines;
    // "Doppler" at position 93 of the text after the Moon line's time and comma.
    std::size_t fill = 93 - 1 + 9 - head.size() - std::string(doppler).find("Doppler");
    return head + std::string(fill, ' ') + doppler + "\r\n";
}

struct Field {
    const char* name;
    std::string RunState::*member;
};

const std::vector<Field>& fields() {
    static const std::vector<Field> list = {
        {"Time_text", &RunState::Time_text},
        {"Az_text", &RunState::Az_text},
        {"Az_int", &RunState::Az_int},
        {"El_text", &RunState::El_text},
        {"El_int", &RunState::El_int},
        {"Object_name", &RunState::Object_name},
        {"Fqso_kHz", &RunState::Fqso_kHz},
        {"Fqso2_kHz", &RunState::Fqso2_kHz},
        {"Band_MHz", &RunState::Band_MHz},
        {"DX_doppler_Hz", &RunState::DX_doppler_Hz},
        {"My_doppler_Hz", &RunState::My_doppler_Hz},
    };
    return list;
}

RunState readWhole(const std::string& file, const TrackingInputs& inputs) {
    RunState rs;
    TrackingInputs copy = inputs;
    parseTrackingText(workingText(file), copy, rs);
    return rs;
}

// Every field of `seen` holds the value of `before` or of `after`.
void expectOldOrNew(const RunState& seen, const RunState& before, const RunState& after,
                    const std::string& what) {
    for (const Field& f : fields()) {
        const std::string& value = seen.*f.member;
        EXPECT_TRUE(value == before.*f.member || value == after.*f.member)
            << what << ": " << f.name << " = \"" << value << "\", old \"" << before.*f.member
            << "\", new \"" << after.*f.member << "\"";
    }
}

// A reading that sees the new file only in part: every prefix, as a rewrite in place leaves it,
// and the old file followed by the new one's tail, as two reads around a rewrite can see it.
TEST(TrackingFileRewrite, APartlyWrittenFileNeverMixesFields) {
    const std::string oldFile = trackingFile(kOld);
    const std::string newFile = trackingFile(kNew);
    struct Inputs {
        const char* object;
        int fqso2;
    };
    for (const Inputs& in : {Inputs{"Moon", 0}, Inputs{"Moon", 1}, Inputs{"Sun", 0}}) {
        SCOPED_TRACE(std::string(in.object) + " fqso2=" + std::to_string(in.fqso2));
        TrackingInputs inputs{in.object, in.fqso2, 0};
        RunState before = readWhole(oldFile, inputs);
        RunState after = readWhole(newFile, inputs);
        ASSERT_NE(before.Az_text, after.Az_text);
        if (std::string(in.object) == "Moon") { // the Sun's layout carries no frequencies
            ASSERT_NE(before.Fqso_kHz, after.Fqso_kHz);
        }

        std::vector<std::string> seen;
        for (std::size_t n = 0; n <= newFile.size(); ++n) {
            seen.push_back(newFile.substr(0, n));
        }
        for (std::size_t n = 0; n <= oldFile.size(); ++n) {
            seen.push_back(oldFile.substr(0, n));
        }
        seen.push_back(oldFile + newFile.substr(std::min(oldFile.size(), newFile.size())));
        for (const std::string& text : seen) {
            RunState rs = before;
            TrackingInputs copy = inputs;
            parseTrackingText(workingText(text), copy, rs);
            expectOldOrNew(rs, before, after, "reading " + std::to_string(text.size()) + " bytes");
            EXPECT_EQ(copy.Doppler_Check, 0);
        }
    }
}

// The program runs its ticks while another process rewrites the tracking file, in place in small
// pieces or by renaming a finished file over it: the rotor only ever gets the old or the new
// target, and the run state only old or new values.
class TrackingFileWriter : public ::testing::Test {
protected:
    void SetUp() override {
        std::string ini = f.folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Rotor_type", "GS232", ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM3", ini);
        config::WriteStringIni("General", "Fname", f.folder.file("azel.dat"), ini);
        f.folder.write("azel.dat", trackingFile(kOld));
        mnuStart_Click(f.k);
        ASSERT_TRUE(f.rotor.isOpen());
    }
    void TearDown() override {
        stop = true;
        if (writer.joinable()) {
            writer.join();
        }
    }

    // Runs ticks until both versions have been seen whole, checking every tick.
    void tickAlong() {
        TrackingInputs inputs{"Moon", 0, 0};
        RunState before = readWhole(trackingFile(kOld), inputs);
        RunState after = readWhole(trackingFile(kNew), inputs);
        // Each angle is old or new; a reading that reached the new azimuth but not yet the new
        // elevation points the rotor half-way, and the next reading completes the move.
        const std::set<std::string> azimuths = {"W123", "W287"}, elevations = {" 045\r", " 012\r"};
        std::set<std::string> seenAzimuths;
        int ticks = 0;
        for (; (ticks < 200000 && seenAzimuths.size() < 2) || ticks < 2000; ++ticks) {
            f.clock.advance(1);
            tmrRead_Timer(f.k);
            expectOldOrNew(f.k.rs, before, after, "tick " + std::to_string(ticks));
            if (::testing::Test::HasFailure()) {
                return;
            }
            seenAzimuths.insert(f.k.rs.Az_text);
        }
        EXPECT_EQ(seenAzimuths.size(), 2u) << "the writer was never seen";
        ASSERT_FALSE(f.rotor.writes.empty());
        for (const std::string& w : f.rotor.writes) {
            EXPECT_TRUE(w.size() == 9 && azimuths.count(w.substr(0, 4)) == 1 &&
                        elevations.count(w.substr(4)) == 1)
                << w;
        }
    }

    fakes::KelvFixture f;
    std::atomic<bool> stop{false};
    std::thread writer;
};

TEST_F(TrackingFileWriter, RewrittenInPlaceInSmallPieces) {
    const std::string path = f.folder.file("azel.dat");
    writer = std::thread([this, path] {
        for (int round = 0; !stop; ++round) {
            std::string text = trackingFile(round % 2 ? kOld : kNew);
            int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            for (std::size_t at = 0; fd >= 0 && at < text.size(); at += 5) {
                [[maybe_unused]] ssize_t n =
                    ::write(fd, text.data() + at, std::min<std::size_t>(5, text.size() - at));
                std::this_thread::yield();
            }
            if (fd >= 0) {
                ::close(fd);
            }
        }
    });
    tickAlong();
}

TEST_F(TrackingFileWriter, ReplacedByRename) {
    const std::string path = f.folder.file("azel.dat");
    writer = std::thread([this, path] {
        for (int round = 0; !stop; ++round) {
            std::string temporary = path + ".new";
            std::FILE* out = std::fopen(temporary.c_str(), "wb");
            if (out != nullptr) {
                std::string text = trackingFile(round % 2 ? kOld : kNew);
                std::fwrite(text.data(), 1, text.size(), out);
                std::fclose(out);
                std::rename(temporary.c_str(), path.c_str());
            }
            std::this_thread::yield();
        }
    });
    tickAlong();
}

} // namespace
} // namespace kelvora
