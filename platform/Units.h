#pragma once

// Printed sheets and window layouts are laid out in twips: 1440 to the inch, 20 to the point.
inline constexpr double kTwipsPerInch = 1440;
inline constexpr double kTwipsPerPoint = 20;
