#pragma once

// The calibration bar's arithmetic: the ratio each position gives, and the range that reaches
// the ratio a screen needs.

// The calibration ratio at a position of the bar: position × 0.02 + 0.51, in double precision.
inline constexpr double barStep = 0.02;
double barRatio(int position);

struct BarRange
{
    int minimum = 1;
    int maximum = 30;
};

// The bar's range: 1 to 30 (ratios 0.53 to 1.11), widened in the same steps just far enough to
// reach roundRatio, the ratio that makes the figure round on the maximised window (its client
// height over its width).
BarRange barRangeFor(double roundRatio);
