// Fuzzes the tracking-file reader: both object branches and every option, on any file text.
#include "fuzz_input.h"
#include "sources/tracking_file.h"
#include "state/numbers.h"
#include "state/run_state.h"

#include <array>

using kelvora::RunState;
using kelvora::TrackingInputs;
using kelvora::fuzz::check;

namespace {

// Every field starts with a mark, so that a field a reading did not reach can be recognised.
RunState markedState() {
    RunState rs;
    for (std::string* field :
         {&rs.Time_text, &rs.Az_text, &rs.Az_int, &rs.El_text, &rs.El_int, &rs.Object_name,
          &rs.Fqso_kHz, &rs.Fqso2_kHz, &rs.Band_MHz, &rs.DX_doppler_Hz, &rs.My_doppler_Hz}) {
        *field = "<unset>";
    }
    return rs;
}

bool changedTo(const std::string& field, std::size_t longest) {
    return field == "<unset>" || field.size() <= longest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    // First byte: bits 0-1 the object text, bit 2 map65_fqso2, bit 3 Doppler_Check.
    std::uint8_t options = in.byte();
    static const std::array<const char*, 4> objects = {"Moon", "Sun", "moon", ""};
    TrackingInputs inputs;
    inputs.Sun_combo = objects[options & 3];
    inputs.map65_fqso2 = (options >> 2) & 1;
    inputs.Doppler_Check = (options >> 3) & 1;
    std::string_view contents = in.rest();
    if (contents.size() > kelvora::kMaxTrackingFileSize) {
        return 0; // such files are never read
    }

    std::string working = kelvora::workingText(contents);
    check(working.size() <= contents.size() * 2, "working text at most doubles");
    const int dopplerBefore = inputs.Doppler_Check;
    RunState rs = markedState();
    const RunState before = rs;
    bool read = kelvora::parseTrackingText(working, inputs, rs);

    check(read == !working.empty(), "read exactly when the working text is not empty");
    check(inputs.Doppler_Check == 0 || inputs.Doppler_Check == dopplerBefore,
          "the reading only ever switches Doppler_Check off");
    if (!read) {
        check(rs.Fqso_kHz == before.Fqso_kHz && rs.Az_text == before.Az_text,
              "an empty text changes nothing");
        return 0;
    }
    if (inputs.Sun_combo != "Moon" && inputs.Sun_combo != "Sun") {
        check(rs.Time_text == before.Time_text && rs.Az_text == before.Az_text &&
                  rs.El_text == before.El_text && rs.Object_name == before.Object_name,
              "another object text reads no position");
    }
    if (inputs.Sun_combo == "Sun") {
        check(inputs.Doppler_Check == 0, "the Sun is never tracked with the DX Doppler");
        check(changedTo(rs.Time_text, 8) && changedTo(rs.Object_name, 3) &&
                  changedTo(rs.Az_text, 12) && changedTo(rs.El_text, 5),
              "Sun fields are cut from their fixed windows");
    }
    check(changedTo(rs.Object_name, 4), "object name of at most 4 characters", rs.Object_name);
    check(changedTo(rs.Fqso_kHz, 3) && changedTo(rs.Fqso2_kHz, 3), "QSO frequencies of 3");
    check(changedTo(rs.Band_MHz, 4) && changedTo(rs.DX_doppler_Hz, 8) &&
              changedTo(rs.My_doppler_Hz, 8),
          "band and Doppler fields of their widths");

    // The layout is chosen by where "Doppler" lies; the Moon branch looks after the time field.
    std::string_view searched = working;
    if (inputs.Sun_combo == "Moon" && searched.find(',') != std::string_view::npos) {
        searched.remove_prefix(searched.find(',') + 1);
    }
    std::size_t q = kelvora::numbers::findFrom1(searched, "Doppler");
    if (q != 86 && q != 93 && q != 95 && q != 116) {
        check(rs.Fqso_kHz == before.Fqso_kHz && rs.Fqso2_kHz == before.Fqso2_kHz &&
                  rs.Band_MHz == before.Band_MHz && rs.DX_doppler_Hz == before.DX_doppler_Hz,
              "no known layout reads no frequency or Doppler field");
    }
    if (q == 116) {
        check(rs.Fqso_kHz == "0", "the 116 layout sets the QSO frequency to 0");
    }

    // What Read_File shows from it.
    std::string caption =
        rs.Band_MHz + "." + kelvora::numbers::formatAtLeast3(rs.Fqso_kHz) + ".000";
    check(caption.size() >= 8, "frequency caption", caption);
    return 0;
}
