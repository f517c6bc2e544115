// WSJT-X datagrams built field by field in the documented order, for tests and the sender.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::testing {

class DatagramBuilder {
public:
    DatagramBuilder(std::uint32_t type, std::string_view id, std::uint32_t schema = 3) {
        u32(0xadbccbda).u32(schema).u32(type).utf8(id);
    }
    DatagramBuilder& u8(std::uint8_t v) { return put(v, 1); }
    DatagramBuilder& boolean(bool v) { return put(v ? 1 : 0, 1); }
    DatagramBuilder& u32(std::uint32_t v) { return put(v, 4); }
    DatagramBuilder& u64(std::uint64_t v) { return put(v, 8); }
    DatagramBuilder& utf8(std::string_view text) {
        u32(static_cast<std::uint32_t>(text.size()));
        bytes += text;
        return *this;
    }
    // Remembers where a field ends, for the truncation tests.
    DatagramBuilder& mark() {
        boundaries.push_back(bytes.size());
        return *this;
    }

    std::string bytes;
    std::vector<std::size_t> boundaries;

private:
    DatagramBuilder& put(std::uint64_t v, int size) {
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8) {
            bytes += static_cast<char>((v >> shift) & 0xff);
        }
        return *this;
    }
};

// A Status of the newest layout, every field present, each field's end marked.
inline DatagramBuilder fullStatus(std::string_view id, bool transmitting,
                                  std::string_view dxGrid = "FN42", std::uint32_t schema = 3) {
    DatagramBuilder b(1, id, schema);
    b.u64(144120000).mark().utf8("JT65").mark().utf8("K1ABC").mark().utf8("-21").mark();
    b.utf8("JT65").mark().boolean(true).mark().boolean(transmitting).mark();
    b.boolean(false).mark().u32(1200).mark().u32(1500).mark().utf8("DL1XYZ").mark();
    b.utf8("JN58").mark().utf8(dxGrid).mark().boolean(false).mark().utf8("B").mark();
    b.boolean(false).mark().u8(0).mark().u32(50).mark().u32(60).mark().utf8("EME").mark();
    b.utf8("K1ABC DL1XYZ JN58").mark();
    return b;
}

} // namespace kelvora::testing
