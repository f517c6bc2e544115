// Fuzzes every rotor position reply parser with any bytes a controller might send.
#include "fuzz_input.h"
#include "rotor/angles_protocol.h"
#include "rotor/easycomm_protocol.h"
#include "rotor/gs232_protocol.h"
#include "rotor/kelvora_unit_protocol.h"
#include "rotor/prosistel_protocol.h"
#include "rotor/radant_protocol.h"
#include "rotor/reply_text_protocol.h"
#include "rotor/spid_protocol.h"
#include "state/numbers.h"

#include <cmath>

using kelvora::fuzz::check;
using kelvora::rotor::LabelTexts;

namespace {

// A label text is a cut of the reply with the control characters taken out.
void checkLabel(const std::optional<std::string>& text, std::size_t longest, const char* what) {
    if (!text) {
        return;
    }
    check(text->size() <= longest, what, *text);
    check(kelvora::rotor::showable(*text) == *text, what, *text);
}

void checkLabels(const LabelTexts& texts, std::size_t azLongest, std::size_t elLongest,
                 const char* what) {
    checkLabel(texts.az, azLongest, what);
    checkLabel(texts.el, elLongest, what);
}

// A SPID angle: three digits minus 360, with tenths for the RAS.
void checkSpidAngle(const std::optional<std::string>& text, const char* what) {
    if (!text) {
        return;
    }
    std::optional<double> value = kelvora::numbers::strictNumber(*text);
    check(value && *value >= -360 && *value <= 639.9, what, *text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view reply(reinterpret_cast<const char*>(data), size);
    using namespace kelvora::rotor;

    // A decimal angle field may be longer than the standard reply's cut.
    constexpr std::size_t kLongestAngle = 12;
    LabelTexts gs = parseGs232Position(reply, 3, 4);
    checkLabels(gs, kLongestAngle, kLongestAngle, "GS-232 labels");
    check(!gs.az || reply.find("AZ=") != std::string_view::npos ||
              reply.find_first_of("+-") != std::string_view::npos,
          "a GS-232 azimuth only from one of its forms");
    check(!gs.el || gs.az, "no GS-232 elevation without an azimuth");
    checkLabels(parseGs232Position(reply, 5, 5), kLongestAngle, kLongestAngle, "GS-232 qzr labels");

    LabelTexts ec = parseEasyCommPosition(reply);
    checkLabels(ec, kLongestAngle, kLongestAngle, "EasyComm labels");
    check(!ec.el || ec.az, "no EasyComm elevation without an azimuth");
    LabelTexts ra = parseRadantPosition(reply);
    checkLabels(ra, 5, 5, "Radant labels");
    check(!ra.el || ra.az, "no Radant elevation without an azimuth");

    LabelTexts pr = parseProsistelPosition(reply);
    checkLabels(pr, 3, 0, "D-Prosistel labels");
    check(!pr.el, "D-Prosistel has no elevation");

    LabelTexts rak = parseRakPosition(reply);
    check(!rak.el, "the RAK has no elevation");
    checkSpidAngle(rak.az, "RAK azimuth");
    LabelTexts ras = parseRasPosition(reply);
    check(ras.az.has_value() == ras.el.has_value(), "RAS angles come together");
    checkSpidAngle(ras.az, "RAS azimuth");
    checkSpidAngle(ras.el, "RAS elevation");

    KvReply kv = parseKvReply(reply);
    if (kv.kind == KvReply::Kind::Position) {
        check(kv.az && kv.el && std::isfinite(*kv.az) && std::isfinite(*kv.el),
              "unit angles are finite");
        std::string shown = kvPositionText(*kv.az, *kv.el);
        check(shown.rfind("AZ ", 0) == 0 && shown.find("   EL ") != std::string::npos,
              "unit position text", shown);
        check(decText(*kv.az) == kelvora::numbers::toText(*kv.az), "unit azimuth label");
    } else if (kv.kind == KvReply::Kind::Error) {
        check(reply.size() >= 5, "an error reply says error");
    }
    return 0;
}
