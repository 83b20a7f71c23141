#include "device/DeviceAddress.h"

#include <QRegularExpression>
#include <QtGlobal>

const QString factoryDeviceAddress = QStringLiteral("192.168.77.20");

QString deviceHost()
{
    const QString host = qEnvironmentVariable("VENTARO_DEVICE_HOST").trimmed();
    return host.isEmpty() ? factoryDeviceAddress : host;
}

bool isDeviceAddressText(const QString& text)
{
    static const QRegularExpression digitsAndDots(QStringLiteral("\\A[0-9.]+\\z"));
    static const QRegularExpression ipv4(
        QStringLiteral("\\A((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\.){3}"
                       "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\\z"));
    static const QRegularExpression hostName(
        QStringLiteral("\\A[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
                       "(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*\\z"));
    if (text.isEmpty() || text.size() > 253)
        return false;
    // Only digits and dots: meant as an address, so "300.1.1.1" or "10.1" are no host names.
    if (digitsAndDots.match(text).hasMatch())
        return ipv4.match(text).hasMatch();
    return hostName.match(text).hasMatch();
}
