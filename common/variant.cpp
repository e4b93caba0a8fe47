#include "common/variant.h"

#include "common/numbers.h"

QString Variant::toText() const
{
    return isUnset() ? QString() : formatNumber(m_value);
}
