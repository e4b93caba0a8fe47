#include "common/variant.h"

#include "common/numbers.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array kindNames = {"unset", "integer", "single", "double"};

} // namespace

std::optional<Variant> Variant::ofKind(Kind kind, double value)
{
    switch (kind) {
    case Kind::Unset:
        return Variant();
    case Kind::Integer:
        if (value == std::trunc(value) && value >= -32768 && value <= 32767)
            return integer(static_cast<std::int16_t>(value));
        break;
    case Kind::Single:
        if (double(float(value)) == value)
            return single(float(value));
        break;
    case Kind::Double:
        return real(value);
    }
    return std::nullopt;
}

QString Variant::kindName(Kind kind)
{
    return QString::fromLatin1(kindNames[static_cast<std::size_t>(kind)]);
}

std::optional<Variant::Kind> Variant::kindNamed(const QString &name)
{
    for (std::size_t i = 0; i < kindNames.size(); ++i)
        if (name == QLatin1StringView(kindNames[i]))
            return static_cast<Kind>(i);
    return std::nullopt;
}

QString Variant::toText() const
{
    return isUnset() ? QString() : formatNumber(m_value);
}
