#pragma once

#include <QString>

// The device's address on its own network as it leaves the factory. Nothing on a
// developer's or CI machine may reach it: run.sh and test.sh set VENTARO_DEVICE_HOST to a
// loopback address, and every place that would use the factory address asks deviceHost().
extern const QString factoryDeviceAddress;

// The device's TCP port; fixed, not configurable.
constexpr quint16 devicePort = 2222;

// VENTARO_DEVICE_HOST when it is set and not empty, else factoryDeviceAddress.
QString deviceHost();
