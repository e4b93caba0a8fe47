#pragma once

// Degrees to radians as the windows compute it, in single precision: 3.1415927 / 180. The
// calibration and the editor set their P1 to it.
inline constexpr float degreesToRadians = 3.1415927f / 180;
