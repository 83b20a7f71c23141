#include "widgets/flat/Material.h"

namespace Material {

QColor toColor(Color color)
{
    switch (color) {
    case white:
        return QColor(0xff, 0xff, 0xff);
    case black:
        return QColor(0, 0, 0);
    case transparent:
        return QColor(0, 0, 0, 0);
    case fullBlack:
        return QColor::fromRgbF(0, 0, 0, 1.0);
    case darkBlack:
        return QColor::fromRgbF(0, 0, 0, 0.87);
    case lightBlack:
        return QColor::fromRgbF(0, 0, 0, 0.54);
    case minBlack:
        return QColor::fromRgbF(0, 0, 0, 0.26);
    case faintBlack:
        return QColor::fromRgbF(0, 0, 0, 0.12);
    case cyan500:
        return QColor(0x00, 0xbc, 0xd4);
    case cyan700:
        return QColor(0x00, 0x97, 0xa7);
    case pinkA200:
        return QColor(0xff, 0x40, 0x81);
    case grey100:
        return QColor(0xf5, 0xf5, 0xf5);
    case grey300:
        return QColor(0xe0, 0xe0, 0xe0);
    case grey500:
        return QColor(0x9e, 0x9e, 0x9e);
    }
    return QColor();
}

} // namespace Material
