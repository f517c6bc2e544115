// The frequency computation: offset, the six Doppler modes, the PTT-dependent source, bad fields.
#include "radio/frequency.h"

#include "radio/vfo_buttons.h"
#include "radio_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using radiotest::RadioFixture;

struct FrequencyFixture : RadioFixture {
    FrequencyFixture() {
        k.settings().Offset = "144000";
        k.rs.Fqso_kHz = "125";
        k.rs.Fqso2_kHz = "130";
        k.rs.My_doppler_Hz = "  1000";
        k.rs.DX_doppler_Hz = "   600";
    }
    // Doppler on, with the window already shown and a mode picked by the operator.
    void pickMode(int mode) {
        k.settings().Doppler_Check = 1;
        k.rs.Doppler_form_shown = -1;
        k.frmDoppler.visible = true;
        k.frmDoppler.select(mode);
    }
};

TEST(Doppler, SixModes) {
    struct Case {
        int mode;
        const char* my;
        const char* rx;
        const char* tx;
    } cases[] = {
        {1, "1000", "144125600", "144124400"},     {2, "1000", "144126000", "144125000"},
        {3, "1000", "144125500", "144124500"},     {4, "1000", "144125600", "144124600"},
        {5, "1000", "144125000", "144124000"},     {6, "1000", "144125000", "144125000"},
        {3, "1001", "144125500.5", "144124499.5"}, // half hertz survive as text
        {5, "-250", "144125000", "144125250"},
    };
    for (const Case& c : cases) {
        FrequencyFixture f;
        f.pickMode(c.mode);
        f.k.rs.My_doppler_Hz = c.my;
        EXPECT_TRUE(Calcolo_frequenza(f.k));
        EXPECT_EQ(f.k.rs.Freq_RX, c.rx) << "mode " << c.mode;
        EXPECT_EQ(f.k.rs.Freq_TX, c.tx) << "mode " << c.mode;
        EXPECT_EQ(f.k.rs.Freq_last, c.tx);
        EXPECT_EQ(f.k.ui.RotorAZ.caption, c.tx);
        EXPECT_EQ(f.k.frmDoppler.Doppler_text.caption, c.my);
        EXPECT_EQ(f.k.frmDoppler.Doppler_dx_text.caption, "   600");
    }
}

TEST(Doppler, ReadOutsGroupedWithTheLocaleSeparator) {
    struct Case {
        const char* group;
        const char* decimal;
        const char* rx;
        const char* tx;
    } cases[] = {
        {",", ".", "144,125,600", "144,124,400"},
        {".", ",", "144.125.600", "144.124.400"},
    };
    for (const Case& c : cases) {
        FrequencyFixture f;
        f.k.locale = {c.group, c.decimal};
        f.pickMode(1);
        Calcolo_doppler(f.k);
        EXPECT_EQ(f.k.frmDoppler.Doppler_rx.caption, c.rx);
        EXPECT_EQ(f.k.frmDoppler.Doppler_tx.caption, c.tx);
    }
}

TEST(Doppler, WindowShownAnewStartsWithoutCorrection) {
    FrequencyFixture f;
    f.k.settings().Doppler_Check = 1;
    f.k.frmDoppler.select(1); // left over from an earlier run
    Calcolo_frequenza(f.k);
    EXPECT_TRUE(f.k.frmDoppler.visible);
    EXPECT_EQ(f.k.frmDoppler.mode(), 6);
    EXPECT_EQ(f.k.rs.Doppler_form_shown, -1);
    EXPECT_EQ(f.k.rs.Freq_TX, "144125000");

    f.k.frmDoppler.select(2); // the operator picks a mode: it stays
    Calcolo_doppler(f.k);
    EXPECT_EQ(f.k.rs.Freq_RX, "144126000");

    frmDoppler_Form_Unload(f.k); // closed: shown again, without correction
    EXPECT_FALSE(f.k.frmDoppler.visible);
    EXPECT_EQ(f.k.rs.Doppler_form_shown, 0);
    Calcolo_doppler(f.k);
    EXPECT_TRUE(f.k.frmDoppler.visible);
    EXPECT_EQ(f.k.frmDoppler.mode(), 6);
    EXPECT_EQ(f.k.rs.Freq_RX, "144125000");
}

TEST(Frequency, SourceFollowsMap65Ptt) {
    struct Case {
        bool pttPortOpen;
        const char* caption;
        const char* tx;
    } cases[] = {
        {true, "PTT off", "144130000"}, // receiving: the second QSO frequency
        {true, "PTT On", "144125000"},
        {false, "PTT off", "144125000"},
    };
    for (const Case& c : cases) {
        FrequencyFixture f;
        std::string error;
        if (c.pttPortOpen) {
            f.virtualPtt.open("/dev/ptt", {}, false, error);
        }
        f.k.ui.Ptt.caption = c.caption;
        Calcolo_frequenza(f.k);
        EXPECT_EQ(f.k.rs.Freq_TX, c.tx) << c.pttPortOpen << " " << c.caption;
        EXPECT_EQ(f.k.rs.Fqso_last, "125");
    }
}

TEST(Frequency, DopplerBaseAlwaysUsesTheQsoFrequency) {
    FrequencyFixture f;
    std::string error;
    f.virtualPtt.open("/dev/ptt", {}, false, error);
    f.pickMode(6);
    Calcolo_frequenza(f.k);
    EXPECT_EQ(f.k.rs.Freq_TX, "144125000");
}

TEST(Frequency, OffsetAndQsoNumberRules) {
    struct Case {
        const char* offset;
        const char* qso;
        const char* decimal;
        const char* tx;
    } cases[] = {
        {"144000", "125", ".", "144125000"},
        {"144000", "-20", ".", "144000000"}, // a negative QSO frequency counts as 0
        {"abc", "125", ".", "125000"},       // an offset that is no number counts as 0
        {"1152000xyz", "125", ".", "1152125000"},
        {"144000", "  5", ".", "144005000"},
        {"144000", "125.5", ".", "144125500"},
        {"144000", "125,5", ",", "144125500"}, // the locale's decimal separator
        {"28000.5", "74", ".", "28074500"},
    };
    for (const Case& c : cases) {
        FrequencyFixture f;
        f.k.settings().Offset = c.offset;
        f.k.rs.Fqso_kHz = c.qso;
        f.k.locale.decimal = c.decimal;
        EXPECT_TRUE(Calcolo_frequenza(f.k)) << c.qso;
        EXPECT_EQ(f.k.rs.Freq_TX, c.tx) << c.offset << " + " << c.qso;
    }
}

TEST(Frequency, FieldsThatAreNoNumberKeepThePreviousResults) {
    FrequencyFixture f;
    f.k.rs.Fqso_kHz = "";
    EXPECT_FALSE(Calcolo_frequenza(f.k)) << "before the first good reading";
    EXPECT_EQ(f.k.rs.Freq_TX, "");
    EXPECT_EQ(f.k.rs.Freq_last, "");

    f.k.rs.Fqso_kHz = "125";
    ASSERT_TRUE(Calcolo_frequenza(f.k));
    f.k.rs.Freq_TX = "0"; // consumed by a CI-V send
    f.k.ui.RotorAZ.caption = "sent";
    for (const char* bad : {"1x5", "", "-", "12,5"}) {
        f.k.rs.Fqso_kHz = bad;
        EXPECT_FALSE(Calcolo_frequenza(f.k)) << bad;
        EXPECT_EQ(f.k.rs.Freq_TX, "144125000") << bad;
        EXPECT_EQ(f.k.rs.Freq_last, "144125000") << bad;
        EXPECT_EQ(f.k.ui.RotorAZ.caption, "sent");
    }

    f.k.rs.Fqso_kHz = "130";
    f.pickMode(1);
    ASSERT_TRUE(Calcolo_frequenza(f.k));
    for (const char* bad : {"", "abc"}) {
        f.k.rs.DX_doppler_Hz = bad;
        EXPECT_FALSE(Calcolo_frequenza(f.k)) << bad;
        EXPECT_FALSE(Calcolo_doppler(f.k)) << bad;
        EXPECT_EQ(f.k.rs.Freq_TX, "144129400") << bad;
        EXPECT_EQ(f.k.rs.Freq_RX, "144130600") << bad;
        EXPECT_EQ(f.k.rs.Freq_last, "144129400") << bad;
    }
}

} // namespace
} // namespace kelvora
