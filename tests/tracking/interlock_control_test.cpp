// The interlock's pointing error: the reply against the target with rotor.dat's correction.
#include "rotor/rotor_test_support.h"
#include "tracking/interlock_control.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(InterlockControl, PointingErrorCountsTheRotorDatCorrection) {
    // rotor.dat's azimuth correction at 100 degrees, the reply's azimuth, tripped.
    for (auto [correction, replyAz, tripped] :
         {std::tuple{"0", 100, false}, {"3", 103, false}, {"3", 100, true}, {"0", 103, true}}) {
        testkit::RotorFixture f("GS232");
        f.k.settings().setValue("Interlock", "Enabled", "1");
        f.k.rs.Az_correction[100] = correction;
        startInterlock(f.k);
        f.target("100.0", "30.0");
        f.k.rs.antenna = {replyAz, 30, {}, {}, {}, false, f.clock.monotonicSeconds()};
        checkInterlock(f.k);
        EXPECT_EQ(f.k.rs.interlock.tripped, tripped) << correction << " " << replyAz;
    }
}

} // namespace
} // namespace kelvora
