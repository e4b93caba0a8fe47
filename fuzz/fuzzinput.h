#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// Reads numbers from a fuzzer's input. A tag byte picks either a value from a list of awkward
// ones (zero, infinities, NaN, the ends of the float and double ranges, denormals), a small
// whole number, or the raw bits that follow, so that all three turn up often.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_size == 0; }

    std::uint8_t byte(std::uint8_t fallback = 0)
    {
        if (m_size == 0)
            return fallback;
        --m_size;
        return *m_data++;
    }

    double number(double fallback)
    {
        if (m_size == 0)
            return fallback;
        const std::uint8_t tag = byte();
        switch (tag % 4) {
        case 0:
            return awkward[(tag / 4) % awkward.size()];
        case 1:
            return static_cast<std::int8_t>(byte());
        default:
            return tag % 4 == 2 ? raw<double>(fallback) : raw<float>(static_cast<float>(fallback));
        }
    }

    float single(float fallback) { return m_size == 0 ? fallback : static_cast<float>(number(0)); }

private:
    template <typename T> T raw(T fallback)
    {
        if (m_size < sizeof(T))
            return fallback;
        T value;
        std::memcpy(&value, m_data, sizeof(T));
        m_data += sizeof(T);
        m_size -= sizeof(T);
        return value;
    }

    static constexpr std::array<double, 16> awkward = {
        0.0,
        -0.0,
        1.0,
        -1.0,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        1e308,
        -1e308,
        std::numeric_limits<double>::max(),
        std::numeric_limits<float>::max(),
        -std::numeric_limits<float>::max(),
        std::numeric_limits<float>::denorm_min(),
        std::numeric_limits<double>::denorm_min(),
        1e-300,
        2147483648.0,
    };

    const std::uint8_t *m_data;
    std::size_t m_size;
};

// A broken property: says which, and stops the fuzzer with the input that broke it.
[[noreturn]] inline void fuzzFailure(const char *what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
