#pragma once

#include <QColor>

// The few entries of the material design palette that the flat theme refers to by index.
namespace Material {

enum Color
{
    white,
    black,
    transparent,
    fullBlack,
    darkBlack,
    lightBlack,
    minBlack,
    faintBlack,
    cyan500,
    cyan700,
    pinkA200,
    grey100,
    grey300,
    grey500,
};

QColor toColor(Color color);

} // namespace Material
