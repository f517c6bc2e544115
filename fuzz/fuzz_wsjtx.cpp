// Fuzzes the WSJT-X datagram reader and the instance table it feeds.
#include "fuzz_input.h"
#include "wsjtx/wsjtx_link.h"
#include "wsjtx/wsjtx_protocol.h"

using kelvora::fuzz::check;
namespace wsjtx = kelvora::wsjtx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::FuzzInput in(data, size);
    std::string_view bytes = in.rest();
    kelvora::Parsed<wsjtx::Datagram> d = wsjtx::parseDatagram(bytes);
    // Whole or nothing: a refusal says why, a datagram names its instance and a known schema.
    check(d || !d.error.empty(), "a refusal has a reason");
    if (d) {
        check(!d.value->id.empty() && d.value->id.size() <= bytes.size(), "an Id from the bytes");
        check(d.value->schema == 2 || d.value->schema == 3, "schema 2 or 3");
        // Every proper prefix of a whole datagram either parses or is refused; none crashes.
        wsjtx::parseDatagram(bytes.substr(0, bytes.size() / 2));
    }
    // The table counts what it could not read and keeps one entry per Id.
    wsjtx::Instances table;
    table.receive({std::string(bytes), "127.0.0.1", 2237}, 0);
    table.receive({std::string(bytes), "127.0.0.1", 2238}, 1);
    check(table.badDatagrams() == (d ? 0u : 2u), "every bad datagram counted");
    check(table.all().size() <= 1, "one entry per Id");
    table.expire(100);
    check(!table.state().transmitting, "a silent instance does not transmit");
    return 0;
}
