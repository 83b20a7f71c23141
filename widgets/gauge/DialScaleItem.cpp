#include "widgets/gauge/DialScaleItem.h"

#include "widgets/gauge/DialGeometry.h"

#include <cmath>

namespace {

// Written as "not greater" so that a NaN bound is refused as well.
bool isRange(float minimum, float maximum)
{
    return maximum > minimum && std::isfinite(minimum) && std::isfinite(maximum);
}

} // namespace

DialScaleItem::DialScaleItem(DialWidget* dial, float position)
    : DialItem(dial, position)
{
}

bool DialScaleItem::setValueRange(float minValue, float maxValue)
{
    if (!isRange(minValue, maxValue))
        return false;
    m_minValue = minValue;
    m_maxValue = maxValue;
    requestRepaint();
    return true;
}

bool DialScaleItem::setDegreeRange(float minDegree, float maxDegree)
{
    if (!isRange(minDegree, maxDegree))
        return false;
    m_minDegree = minDegree;
    m_maxDegree = maxDegree;
    requestRepaint();
    return true;
}

// An equal minimum and maximum is refused too: it would leave no scale to divide by.
bool DialScaleItem::setMinValue(float minValue)
{
    return setValueRange(minValue, m_maxValue);
}

bool DialScaleItem::setMaxValue(float maxValue)
{
    return setValueRange(m_minValue, maxValue);
}

bool DialScaleItem::setMinDegree(float minDegree)
{
    return setDegreeRange(minDegree, m_maxDegree);
}

bool DialScaleItem::setMaxDegree(float maxDegree)
{
    return setDegreeRange(m_minDegree, maxDegree);
}

double DialScaleItem::degree(double value) const
{
    return DialGeometry::valueToDegree(value, m_minValue, m_maxValue, m_minDegree, m_maxDegree);
}
