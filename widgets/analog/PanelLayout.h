#pragma once

// How a sensor's settings panel sets its labels and boxes: labels beside their boxes in
// three rows, labels above their boxes in one narrow column, or the two range boxes side by
// side so that the panel is two rows high.
enum class PanelLayout
{
    Beside = 0,
    Above,
    Wide
};
constexpr int panelLayoutCount = 3;
