// The firmware update dialog (select, upload with the winscp stand-in, restart against
// servers on loopback), its way in through the about dialog and the controller, and the
// build date of the about dialog.
#include "app/BuildDate.h"
#include "control/IPAddressDialog.h"
#include "control/UpdateDialog.h"
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "model/Model.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/FakeDeviceSetup.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "ui_AboutDialog.h"
#include "ui_IPAddressDialog.h"
#include "ui_UpdateDialog.h"
#include "ui_View.h"
#include "widgets/AboutDialog.h"

#include <QCryptographicHash>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int updateArea = 43;
// Offsets within the area: the application's device (FakeDeviceSetup uses 0), a device of
// the test's own, and an address where nothing listens.
constexpr int ownDeviceOffset = 2;
constexpr int silentOffset = 3;

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

// Counts every signal the connector gives the application.
struct ConnectorSignals
{
    explicit ConnectorSignals(KalvikConnector* connector)
        : connected(connector, &KalvikConnector::connected)
        , disconnected(connector, &KalvikConnector::disconnected)
        , messages(connector, &KalvikConnector::messageReceived)
        , errors(connector, &KalvikConnector::error)
    {
    }
    int total() const
    {
        return connected.count() + disconnected.count() + messages.count() + errors.count();
    }
    QSignalSpy connected;
    QSignalSpy disconnected;
    QSignalSpy messages;
    QSignalSpy errors;
};

// What a device-side socket received until the other side closed the connection.
QByteArray receivedUntilClosed(QTcpSocket* socket)
{
    QByteArray bytes;
    // The caller checks the socket's state afterwards.
    (void)QTest::qWaitFor(
        [&] {
            bytes += socket->readAll();
            return socket->state() == QAbstractSocket::UnconnectedState;
        },
        5000);
    return bytes + socket->readAll();
}

QList<QPushButton*> dialogButtons(UpdateDialog* dialog)
{
    const Ui::UpdateDialog* f = dialog->form();
    return {f->buttonSelectFile, f->buttonUpload, f->buttonReset, f->buttonCancel, f->buttonOK};
}

} // namespace

class TestUpdateDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;

    QString stickPath() const { return m_dir->filePath(QStringLiteral("stick")); }
    void pointDeviceAddressAt(const QString& host)
    {
        qputenv("VENTARO_DEVICE_HOST", host.toLatin1());
        QCOMPARE(deviceHost(), host);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(stickPath()));
        qputenv("KALVIK_STICK_DIR", stickPath().toLocal8Bit());
        m_archive = m_dir->filePath(QStringLiteral("firmware/kalvik-1.5.tgz"));
        QVERIFY(QDir().mkpath(QFileInfo(m_archive).absolutePath()));
        QFile archive(m_archive);
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.write(QByteArray("firmware image\n").repeated(200));
        pointDeviceAddressAt(loopbackAddress(updateArea, ownDeviceOffset));
    }

    void cleanup()
    {
        ScpTransfer::setApplicationDirForTesting(QString());
        m_dir.reset();
    }

    void buildDateFromTheCompilerDate_data()
    {
        QTest::addColumn<QString>("compilerDate");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("day padded with a blank") << "Dec  8 2026" << "20261208";
        QTest::newRow("two-digit day") << "Jan 01 2027" << "20270101";
        QTest::newRow("leap day") << "Feb 29 2024" << "20240229";
        QTest::newRow("no leap year") << "Feb 29 2023" << "";
        QTest::newRow("German month name") << "Dez 08 2026" << "";
        QTest::newRow("three-digit day") << "Dec 108 2026" << "";
        QTest::newRow("no year") << "Dec  8" << "";
        QTest::newRow("empty") << "" << "";
        // clang-format on
    }

    void buildDateFromTheCompilerDate()
    {
        QFETCH(QString, compilerDate);
        QFETCH(QString, expected);
        // The German default of the running program must not change the month names.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        LogCapture log;
        const QString text = buildDateText(compilerDate);
        QLocale::setDefault(before);
        QCOMPARE(text, expected);
        QCOMPARE(log.contains(QStringLiteral("ERROR: not a compiler date")), expected.isEmpty());
        QVERIFY(QDate::fromString(buildDate(), QStringLiteral("yyyyMMdd")).isValid());
    }

    void cancelledFileChoiceKeepsWhatWasChosen()
    {
        Model model;
        model.setLastDir(QFileInfo(m_archive).absolutePath());
        KalvikConnector connector;
        UpdateDialog dialog(&model, &connector);
        dialog.show();
        Ui::UpdateDialog* f = dialog.form();
        DialogAnswerer answer;

        answer.reject();
        f->buttonSelectFile->click();
        QCOMPARE(answer.answered(), 1);
        QVERIFY(!f->buttonUpload->isEnabled());
        QVERIFY(f->labelFilename->text().isEmpty());

        QString startFolder;
        answer.answer([&](QWidget* widget) {
            auto* files = qobject_cast<QFileDialog*>(widget);
            QVERIFY(files);
            startFolder = files->directory().absolutePath();
            files->selectFile(m_archive);
            static_cast<QDialog*>(files)->accept();
        });
        f->buttonSelectFile->click();
        QCOMPARE(startFolder, model.lastDir());
        QVERIFY(f->buttonUpload->isEnabled());
        QCOMPARE(f->labelFilename->text(), QStringLiteral(".../kalvik-1.5.tgz"));

        // A second choice cancelled leaves the first one to be uploaded.
        answer.reject();
        f->buttonSelectFile->click();
        QCOMPARE(answer.answered(), 3);
        QVERIFY(f->buttonUpload->isEnabled());
        QCOMPARE(f->labelFilename->text(), QStringLiteral(".../kalvik-1.5.tgz"));
        f->buttonUpload->click();
        QCOMPARE(f->labelResult->text(), QStringLiteral("Hochladen erfolgreich."));
        QCOMPARE(fileDigest(stickPath() + QStringLiteral("/kalvik-1.5.tgz")),
                 fileDigest(m_archive));
        QCOMPARE(answer.unexpected(), 0);
    }

    // The transfer lets events through while the tool runs; clicks that were waiting then
    // must neither start a second transfer, open the file dialog nor close the dialog.
    void uploadPutsTheArchiveOnTheStickOnce()
    {
        Model model;
        KalvikConnector connector;
        UpdateDialog dialog(&model, &connector);
        dialog.show();
        Ui::UpdateDialog* f = dialog.form();
        DialogAnswerer answer;
        answer.chooseFile(m_archive);
        f->buttonSelectFile->click();
        QVERIFY(!f->buttonOK->isEnabled());

        bool clickedDuringUpload = false;
        QTimer::singleShot(0, &dialog, [&] {
            clickedDuringUpload = true;
            for (QPushButton* button : dialogButtons(&dialog))
                button->click();
        });
        LogCapture log;
        f->buttonUpload->click();
        QVERIFY(clickedDuringUpload);
        QCOMPARE(log.count(QStringLiteral("starting tool: ")), 1);
        QVERIFY(log.contains(QStringLiteral("@") + deviceHost() + QStringLiteral(" -hostkey=* ")));
        QCOMPARE(f->labelResult->text(), QStringLiteral("Hochladen erfolgreich."));
        QVERIFY(f->buttonOK->isEnabled());
        QVERIFY(f->buttonUpload->isEnabled());
        QVERIFY(dialog.isVisible());
        QCOMPARE(fileDigest(stickPath() + QStringLiteral("/kalvik-1.5.tgz")),
                 fileDigest(m_archive));
        QCOMPARE(answer.answered(), 1);
        QCOMPARE(answer.unexpected(), 0);
    }

    void failedUploadShowsTheToolsBoxAndTheFailure()
    {
        QTemporaryDir noTool;
        ScpTransfer::setApplicationDirForTesting(noTool.path());
        Model model;
        KalvikConnector connector;
        UpdateDialog dialog(&model, &connector);
        dialog.show();
        Ui::UpdateDialog* f = dialog.form();
        DialogAnswerer answer;
        answer.chooseFile(m_archive);
        f->buttonSelectFile->click();
        answer.clickRole(QMessageBox::AcceptRole);
        f->buttonUpload->click();
        QCOMPARE(answer.titles().value(1), QStringLiteral("Problem"));
        QVERIFY(answer.texts().value(1).startsWith(
            QStringLiteral("The SCP tool could not be started!")));
        QCOMPARE(f->labelResult->text(), QStringLiteral("Fehler beim Hochladen!"));
        QVERIFY(!f->buttonOK->isEnabled());
        QVERIFY(f->buttonUpload->isEnabled());
        QVERIFY(!QFileInfo::exists(stickPath() + QStringLiteral("/kalvik-1.5.tgz")));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(answer.unexpected(), 0);
    }

    // The restart reaches the device at deviceHost(), sends the command and closes the
    // connection again, all without a signal of the connector.
    void restartOpensAndClosesItsOwnConnection()
    {
        QTcpServer device;
        QVERIFY2(device.listen(QHostAddress(deviceHost()), devicePort),
                 qPrintable(device.errorString()));
        Model model;
        KalvikConnector connector;
        ConnectorSignals heard(&connector);
        UpdateDialog dialog(&model, &connector);
        dialog.show();
        Ui::UpdateDialog* f = dialog.form();

        f->buttonReset->click();
        QCOMPARE(f->labelResult2->text(), QStringLiteral("Reboot Kommando gesendet."));
        QVERIFY(f->buttonOK->isEnabled());
        QVERIFY(!connector.isConnected());
        QCOMPARE(connector.host(), deviceHost());

        QVERIFY(device.hasPendingConnections() || device.waitForNewConnection(5000));
        QTcpSocket* line = device.nextPendingConnection();
        QCOMPARE(receivedUntilClosed(line), QByteArray("reboot\n"));
        QCOMPARE(line->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(heard.total(), 0);
    }

    void restartWithoutADeviceWaitsAndShowsNoConnection()
    {
        pointDeviceAddressAt(loopbackAddress(updateArea, silentOffset));
        Model model;
        KalvikConnector connector;
        ConnectorSignals heard(&connector);
        UpdateDialog dialog(&model, &connector);
        dialog.show();
        Ui::UpdateDialog* f = dialog.form();
        auto* socket = connector.findChild<QTcpSocket*>();
        QVERIFY(socket);

        // Once the refusal is in, the wait goes on with every button disabled, and the
        // dialog does not close under the running restart.
        QString labelAfterRefusal;
        QList<bool> enabledAfterRefusal;
        bool probed = false;
        QObject::connect(socket, &QAbstractSocket::errorOccurred, &dialog, [&] {
            if (std::exchange(probed, true))
                return;
            QTimer::singleShot(0, &dialog, [&] {
                labelAfterRefusal = f->labelResult2->text();
                for (QPushButton* button : dialogButtons(&dialog))
                    enabledAfterRefusal.append(button->isEnabled());
                QTest::keyClick(&dialog, Qt::Key_Escape);
                dialog.reject();
                dialog.close();
            });
        });
        f->buttonReset->click();
        QCOMPARE(labelAfterRefusal, QStringLiteral("Connecting..."));
        QCOMPARE(enabledAfterRefusal, (QList<bool>{false, false, false, false, false}));
        QCOMPARE(f->labelResult2->text(), QStringLiteral("NO CONNECTION!"));
        QVERIFY(dialog.isVisible());
        QVERIFY(f->buttonSelectFile->isEnabled());
        QVERIFY(f->buttonReset->isEnabled());
        QVERIFY(f->buttonCancel->isEnabled());
        QVERIFY(!f->buttonUpload->isEnabled());
        QVERIFY(!f->buttonOK->isEnabled());
        QVERIFY(!connector.isConnected());
        QCOMPARE(heard.total(), 0);
    }

    // Through the main window's signal the controller runs the dialog. A connection the
    // restart made is closed and was never the application's: it stays disconnected, and
    // the next "Verbinden" connects.
    void restartLeavesTheApplicationDisconnected()
    {
        FakeDeviceSetup app(updateArea);
        QSignalSpy appState(app.model.get(), &Model::appStateChanged);
        QString dialogClass;
        QString title;
        bool modal = false;
        QString result;
        app.answer->answer([&](QWidget* widget) {
            dialogClass = QString::fromLatin1(widget->metaObject()->className());
            title = widget->windowTitle();
            modal = widget->isModal();
            auto* dialog = qobject_cast<UpdateDialog*>(widget);
            if (!dialog) {
                widget->close();
                return;
            }
            dialog->form()->buttonReset->click();
            result = dialog->form()->labelResult2->text();
            dialog->form()->buttonCancel->click();
        });
        emit app.view->firmwareUpdate();
        QCOMPARE(dialogClass, QStringLiteral("UpdateDialog"));
        QCOMPARE(title, QStringLiteral("Update Dialog"));
        QVERIFY(modal);
        QCOMPARE(result, QStringLiteral("Reboot Kommando gesendet."));

        QVERIFY(app.server.hasPendingConnections());
        QTcpSocket* restartLine = app.server.nextPendingConnection();
        QCOMPARE(receivedUntilClosed(restartLine), QByteArray("reboot\n"));
        QCOMPARE(restartLine->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!app.model->isConnected());
        QCOMPARE(appState.count(), 0);
        QVERIFY(!app.controller->kalvikConnector()->isConnected());

        app.view->form()->actionConnect->setEnabled(true);
        QVERIFY(app.connectDevice());
        QVERIFY(app.model->isConnected());
        QCOMPARE(app.answer->unexpected(), 0);
    }

    // From the about dialog's update button to the controller's update dialog; a
    // connection the application had stays, and the command goes out on it.
    void restartFromTheAboutDialogKeepsTheApplicationsConnection()
    {
        FakeDeviceSetup app(updateArea);
        app.view->form()->actionConnect->setEnabled(true);
        QVERIFY(app.connectDevice());
        app.model->setHwVersion(QStringLiteral("KV-HW 3.1"));
        app.model->setFirmwareVersion(QString());
        QSignalSpy updateRequests(app.view.get(), &View::firmwareUpdate);
        QSignalSpy appState(app.model.get(), &Model::appStateChanged);

        QString hardwareLine;
        QString firmwareLine;
        QString versionLine;
        bool aboutAccepted = false;
        app.answer->answer([&](QWidget* widget) {
            auto* about = qobject_cast<AboutDialog*>(widget);
            if (!about) {
                widget->close();
                return;
            }
            hardwareLine = about->form()->labelHardware->text();
            firmwareLine = about->form()->labelFirmware->text();
            versionLine = about->form()->labelVersion->text();
            // Clicked from the dialog's own loop, so that the answerer serves the next one.
            QTimer::singleShot(0, about, [&, about] {
                about->form()->buttonUpdate->click();
                about->form()->buttonBox->button(QDialogButtonBox::Ok)->click();
                aboutAccepted = about->result() == QDialog::Accepted;
                if (about->isVisible())
                    about->reject();
            });
        });
        QString result;
        app.answer->answer([&](QWidget* widget) {
            auto* dialog = qobject_cast<UpdateDialog*>(widget);
            if (!dialog) {
                widget->close();
                return;
            }
            dialog->form()->buttonReset->click();
            result = dialog->form()->labelResult2->text();
            dialog->form()->buttonOK->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        app.view->form()->actionAbout->trigger();

        QCOMPARE(app.answer->answered(), 2);
        QCOMPARE(updateRequests.count(), 1);
        QVERIFY(aboutAccepted);
        QVERIFY(hardwareLine.contains(QLatin1String("KV-HW 3.1")));
        QVERIFY(firmwareLine.contains(QLatin1String("unbekannt")));
        QVERIFY(versionLine.contains(QLatin1String("Ventaro 7.0")));
        QVERIFY(versionLine.contains(buildDate()));
        QCOMPARE(result, QStringLiteral("Reboot Kommando gesendet."));

        QByteArray commands;
        QVERIFY(QTest::qWaitFor(
            [&] { return (commands += app.device->readAll()).endsWith("reboot\n"); }, 5000));
        QCOMPARE(app.device->state(), QAbstractSocket::ConnectedState);
        QVERIFY(!app.server.hasPendingConnections());
        QVERIFY(app.controller->kalvikConnector()->isConnected());
        QVERIFY(app.model->isConnected());
        QCOMPARE(appState.count(), 0);
        QCOMPARE(app.answer->unexpected(), 0);
    }

    // The restart went to the factory address while the upload went to the address the
    // application last used.
    void restartWentElsewhereThanTheUpload()
    {
        pointDeviceAddressAt(loopbackAddress(updateArea, silentOffset));
        const QString used = loopbackAddress(updateArea, ownDeviceOffset);
        QTcpServer device;
        QVERIFY2(device.listen(QHostAddress(used), devicePort), qPrintable(device.errorString()));
        Model model;
        KalvikConnector connector;
        connector.connect(used);
        QVERIFY(device.waitForNewConnection(5000));
        delete device.nextPendingConnection();
        connector.disconnectFromHost();
        QCOMPARE(connector.host(), used);

        UpdateDialog dialog(&model, &connector);
        Ui::UpdateDialog* f = dialog.form();
        f->buttonReset->click();
        QCOMPARE(f->labelResult2->text(), QStringLiteral("Reboot Kommando gesendet."));
        QVERIFY(device.hasPendingConnections() || device.waitForNewConnection(5000));
        QCOMPARE(receivedUntilClosed(device.nextPendingConnection()), QByteArray("reboot\n"));
    }

    void addressDialogTookAnyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("IPv4") << "127.0.77.21" << true;
        QTest::newRow("IPv4 with blanks around") << " 127.0.0.5 " << true;
        QTest::newRow("host name") << "kalvik7.werk.local" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("part above 255") << "127.0.256.1" << false;
        QTest::newRow("three parts") << "127.0.77" << false;
        QTest::newRow("blank and switch") << "127.0.77.20 -hostkey=x" << false;
        QTest::newRow("quote and script command") << "127.0.77.20\" \"put /etc/passwd" << false;
        QTest::newRow("user in front") << "root@127.0.77.20" << false;
        QTest::newRow("leading hyphen") << "-kalvik" << false;
    }

    void addressDialogTookAnyText()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QCOMPARE(isDeviceAddressText(text.trimmed()), taken);
        IPAddressDialog dialog(nullptr);
        dialog.form()->editIPAddress->setText(text);
        QCOMPARE(dialog.form()->buttonBox->button(QDialogButtonBox::Ok)->isEnabled(), taken);
        dialog.accept();
        QCOMPARE(dialog.result() == QDialog::Accepted, taken);
        QCOMPARE(dialog.form()->labelInvalid->text().isEmpty(), taken);
        if (taken)
            QCOMPARE(dialog.address(), text.trimmed());
    }
};

VENTARO_TEST_MAIN(TestUpdateDialog)
#include "test_update_dialog.moc"
