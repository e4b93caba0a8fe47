#pragma once

#include <QString>

#include <cstdint>
#include <optional>

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
    // The value of that kind, when the number is one it holds exactly (a whole number within
    // 16 bits, a single-precision number, any double); unset takes no number.
    static std::optional<Variant> ofKind(Kind kind, double value);

    Kind kind() const { return m_kind; }
    // True for the empty value: it compares equal to the empty text, every number unequal.
    bool isUnset() const { return m_kind == Kind::Unset; }
    double toDouble() const { return m_value; }
    // The general number format of the locale; the empty text when unset.
    QString toText() const;

    friend bool operator==(const Variant &, const Variant &) = default;

    // "unset", "integer", "single", "double": how documents name the kinds.
    static QString kindName(Kind kind);
    static std::optional<Kind> kindNamed(const QString &name);

private:
    Variant(Kind kind, double value) : m_kind(kind), m_value(value) {}

    Kind m_kind = Kind::Unset;
    double m_value = 0; // exact for every kind: 16-bit and single values widen without loss
};
