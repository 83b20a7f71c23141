#include "tests/common/FakeDeviceSetup.h"

#include "app/Constants.h"
#include "tests/common/LoopbackAddress.h"

#include <QSettings>
#include <QtTest>

FakeDeviceSetup::FakeDeviceSetup(int area, const QString& fileToOpen)
{
    const QString host = loopbackAddress(area);
    qputenv("VENTARO_DEVICE_HOST", host.toLatin1());
    QSettings(settingsOrganization, settingsApplication).clear();
    if (!server.listen(QHostAddress(host), 2222))
        qWarning("fake device cannot listen: %s", qPrintable(server.errorString()));
    model = std::make_unique<Model>(fileToOpen);
    view = std::make_unique<View>(model.get());
    controller = std::make_unique<Controller>(model.get(), view.get());
    answer = std::make_unique<DialogAnswerer>();
    view->show();
}

FakeDeviceSetup::~FakeDeviceSetup()
{
    controller.reset();
    view.reset();
    model.reset();
}

bool FakeDeviceSetup::connectDevice()
{
    controller->onActionConnect();
    if (!server.waitForNewConnection(5000))
        return false;
    device = server.nextPendingConnection();
    return QTest::qWaitFor([this] { return model->isConnected(); }, 5000) &&
           QTest::qWaitFor([this] { return controller->readingsInThousandths(); }, 5000);
}

void FakeDeviceSetup::send(const QByteArray& lines)
{
    device->write(lines);
    device->flush();
}

QByteArray FakeDeviceSetup::valueLines(int first, int count)
{
    QByteArray lines;
    for (int n = first; n < first + count; ++n) {
        lines += QByteArray::number(n);
        for (int k = 0; k < 5; ++k)
            lines += ';' + QByteArray::number(n * 1000 + k);
        lines += '\n';
    }
    return lines;
}
