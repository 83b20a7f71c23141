#include "device/DeviceAddress.h"

#include <QtGlobal>

const QString factoryDeviceAddress = QStringLiteral("192.168.77.20");

QString deviceHost()
{
    const QString host = qEnvironmentVariable("VENTARO_DEVICE_HOST").trimmed();
    return host.isEmpty() ? factoryDeviceAddress : host;
}
