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

// An IPv4 address in dotted decimal form or a host name (letters, digits and "-" in labels
// of up to 63 characters, separated by dots). Anything else, blanks and quotes above all,
// would reach the SCP tool's script, so it is refused before it becomes the device address.
bool isDeviceAddressText(const QString& text);
