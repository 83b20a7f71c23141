#include "app/Logging.h"

Q_LOGGING_CATEGORY(lcApp, "ventaro.app")
Q_LOGGING_CATEGORY(lcModel, "ventaro.model")
Q_LOGGING_CATEGORY(lcDevice, "ventaro.device")
Q_LOGGING_CATEGORY(lcControl, "ventaro.control")
Q_LOGGING_CATEGORY(lcView, "ventaro.view")
Q_LOGGING_CATEGORY(lcWidgets, "ventaro.widgets")
Q_LOGGING_CATEGORY(lcStore, "ventaro.store")
Q_LOGGING_CATEGORY(lcTrace, "ventaro.trace", QtInfoMsg)
