#pragma once

#include "control/Controller.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "view/View.h"

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

// The application (model, main window, controller) against a device played by the test
// itself: a server on a loopback address of the test's own, whose lines the test writes.
class FakeDeviceSetup
{
public:
    // area: the test executable's own loopback area (LoopbackAddress.h).
    explicit FakeDeviceSetup(int area, const QString& fileToOpen = QString());
    ~FakeDeviceSetup();

    // Connects through the controller and waits for the 700 ms default sensors, after which
    // readings are taken as micrometres.
    bool connectDevice();
    void send(const QByteArray& lines);
    // Value lines n = first ... first+count-1 whose reading of sensor k is n * 1000 + k.
    static QByteArray valueLines(int first, int count);

    QTemporaryDir dir;
    QTcpServer server;
    QPointer<QTcpSocket> device;
    std::unique_ptr<Model> model;
    std::unique_ptr<View> view;
    std::unique_ptr<Controller> controller;
    std::unique_ptr<DialogAnswerer> answer;
};
