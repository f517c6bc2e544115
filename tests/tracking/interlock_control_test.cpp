// The pointing error the transmit interlock sees: the rotor's reply against the target as the
// rotor reports it, rotor.dat's correction included.
#include "rotor/rotor_test_support.h"
#include "tracking/interlock_control.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(InterlockControl, PointingErrorCountsTheRotorDatCorrection) {
    struct Case {
        const char* correction; // rotor.dat's azimuth correction at 100 degrees
        double replyAz;         // where the rotor says it is
        bool tripped;
    };
    const Case cases[] = {
        {"0", 100, false}, {"3", 103, false}, {"3", 100, true}, {"0", 103, true}};
    for (const Case& c : cases) {
        testkit::RotorFixture f("GS232");
        f.k.settings().setValue("Interlock", "Enabled", "1");
        f.k.rs.Az_correction[100] = c.correction;
        f.k.rs.El_correction[30] = "0";
        startInterlock(f.k);
        f.target("100.0", "30.0");
        f.k.rs.antenna.measuredAz = c.replyAz;
        f.k.rs.antenna.measuredEl = 30;
        f.k.rs.antenna.measuredAt = f.clock.monotonicSeconds();
        checkInterlock(f.k);
        EXPECT_EQ(f.k.rs.interlock.tripped, c.tripped)
            << c.correction << " " << c.replyAz << ": " << f.k.rs.interlock.reason;
    }
}

} // namespace
} // namespace kelvora
