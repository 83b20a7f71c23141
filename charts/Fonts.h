#pragma once

#include <QString>

// The program's own typeface, built into the program so that the screen and a report written
// without a display look alike on any machine.
namespace Fonts {

// Registers the typeface's files with the font database once; returns how many of them it
// holds. Needs a QGuiApplication.
int load();
// The family to ask for.
QString family();

} // namespace Fonts
