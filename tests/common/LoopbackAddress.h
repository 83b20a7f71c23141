#pragma once

#include <QCoreApplication>
#include <QString>

// A loopback address of the test executable's own: 127.<area>.x.y with x.y taken from the
// process id. Test executables that open sockets each use their own area, and two runs of
// the same executable (the normal and the sanitizer tree, or two work trees) differ in x.y,
// so that they can all listen on the device's fixed port 2222 at the same time.
inline QString loopbackAddress(int area, int offset = 0)
{
    const qint64 pid = QCoreApplication::applicationPid();
    const int x = int((pid / 250) % 250) + 1;
    const int y = int(pid % 250) + 1;
    return QStringLiteral("127.%1.%2.%3").arg(area).arg(x).arg((y + offset - 1) % 250 + 1);
}
