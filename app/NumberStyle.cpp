#include "app/NumberStyle.h"

namespace NumberStyle {

QLocale locale()
{
    QLocale l;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
    return l;
}

QString general(double value, int digits)
{
    return locale().toString(value, 'g', digits);
}

QString fixed(double value, int decimals)
{
    return locale().toString(value, 'f', decimals);
}

} // namespace NumberStyle
