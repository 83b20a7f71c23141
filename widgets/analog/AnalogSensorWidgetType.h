#pragma once

// Display style of a live sensor value: a vertical bar or a round dial.
enum class AnalogSensorWidgetType
{
    Linear = 0,
    Round = 1
};
