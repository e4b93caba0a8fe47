#pragma once

#include "common/variant.h"

#include <array>

// The five base points A to E of the curve, as the base points window last accepted them:
// X[0], Y[0] are A (X1, Y1), up to X[4], Y[4] for E (X5, Y5). Every coordinate is unset until
// the points are first accepted.
struct BasePoints
{
    std::array<Variant, 5> X;
    std::array<Variant, 5> Y;

    friend bool operator==(const BasePoints &, const BasePoints &) = default;
};
