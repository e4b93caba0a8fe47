#pragma once

#include <QString>

#include <cstdint>

// A window-level number of the program: unset, or a 16-bit integer, a single or a double.
// Unset counts as 0 in arithmetic and converts to the empty text.
class Variant
{
public:
    enum class Kind { Unset, Integer, Single, Double };

    Variant() = default;
    static Variant integer(std::int16_t value) { return Variant(Kind::Integer, value); }
    static Variant single(float value) { return Variant(Kind::Single, value); }
    static Variant real(double value) { return Variant(Kind::Double, value); }

    Kind kind() const { return m_kind; }
    // True for the empty value: it compares equal to the empty text, every number unequal.
    bool isUnset() const { return m_kind == Kind::Unset; }
    double toDouble() const { return m_value; }
    // The general number format of the locale; the empty text when unset.
    QString toText() const;

    friend bool operator==(const Variant &, const Variant &) = default;

private:
    Variant(Kind kind, double value) : m_kind(kind), m_value(value) {}

    Kind m_kind = Kind::Unset;
    double m_value = 0; // exact for every kind: 16-bit and single values widen without loss
};
