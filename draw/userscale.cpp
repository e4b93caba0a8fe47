#include "draw/userscale.h"

#include <limits>

namespace {

double ratio(double numerator, double denominator)
{
    return denominator == 0 ? std::numeric_limits<double>::quiet_NaN() : numerator / denominator;
}

} // namespace

QPointF UserScale::toPixel(QPointF user) const
{
    return {user.x() * ratio(m_pixels.width(), m_user.width()),
            user.y() * ratio(m_pixels.height(), m_user.height())};
}

QPointF UserScale::toUser(QPointF pixel) const
{
    return {pixel.x() * ratio(m_user.width(), m_pixels.width()),
            pixel.y() * ratio(m_user.height(), m_pixels.height())};
}
