#pragma once

#include <QLoggingCategory>

// One category per subsystem. Diagnostics the system defines (error texts) go to these;
// per-method signature tracing goes to ventaro.trace, which is off unless enabled with
// QT_LOGGING_RULES="ventaro.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcModel)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcControl)
Q_DECLARE_LOGGING_CATEGORY(lcView)
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Writes the signature of the enclosing function to the trace category.
#define VTRACE() qCDebug(lcTrace).noquote() << Q_FUNC_INFO
