#pragma once

#include <QString>

// The push button rule shared by the control subsystem's small dialogs.
QString dialogButtonStyle();
