// Splitting one fuzzer input into the choices and texts a target needs, and failing loudly.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace kelvora::fuzz {

// Reads choices from the front of the input; what is left over is the text under test.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_text(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t byte() {
        if (m_text.empty()) {
            return 0;
        }
        auto b = static_cast<std::uint8_t>(m_text.front());
        m_text.remove_prefix(1);
        return b;
    }

    template <typename T> T value() {
        T v{};
        std::size_t n = std::min(sizeof v, m_text.size());
        std::memcpy(&v, m_text.data(), n);
        m_text.remove_prefix(n);
        return v;
    }

    // The text up to the next `separator` (which is consumed), or all that is left.
    std::string_view until(char separator) {
        std::size_t at = m_text.find(separator);
        std::string_view part = m_text.substr(0, at);
        m_text.remove_prefix(at == std::string_view::npos ? m_text.size() : at + 1);
        return part;
    }

    std::string_view rest() const { return m_text; }
    bool empty() const { return m_text.empty(); }

private:
    std::string_view m_text;
};

// A broken property: say which and stop, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "property failed: %s [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) {
        fail(what, detail);
    }
}

} // namespace kelvora::fuzz
