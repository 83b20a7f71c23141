#include "control/UpdateDialog.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "control/DialogStyle.h"
#include "control/ScpProblemBox.h"
#include "device/KalvikConnector.h"
#include "model/Model.h"
#include "ui_UpdateDialog.h"

#include <QEvent>
#include <QColor>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QTimer>

namespace {

// The connection is looked at this often during the restart's wait.
constexpr int connectPollMs = 20;

// The socket connects in the event loop. The wait ends as soon as the connection is up; a
// refused or unanswered attempt waits the whole time. Only locals of the caller are used, so
// that nothing breaks if the dialog goes away meanwhile.
bool waitForConnection(const QPointer<KalvikConnector>& link)
{
    const QDeadlineTimer deadline(UpdateDialog::connectWaitMs);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(connectPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!link || link->isConnected() || deadline.hasExpired())
            loop.quit();
    });
    poll.start();
    loop.exec();
    return link && link->isConnected();
}

} // namespace

UpdateDialog::UpdateDialog(Model* m, KalvikConnector* c, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::UpdateDialog>())
    , model(m)
    , connector(c)
{
    VTRACE();
    ui->setupUi(this);
    setStyleSheet(styleSheetText());
    setWindowTitle(QStringLiteral("Update Dialog"));
    ui->labelTitle->setText(tr("<h2><b>Firmware Update</b></h2>"));
    ui->buttonUpload->setEnabled(false);
    ui->buttonOK->setEnabled(false);

    connect(ui->buttonSelectFile, &QPushButton::clicked, this, &UpdateDialog::onSelectFile);
    connect(ui->buttonUpload, &QPushButton::clicked, this, &UpdateDialog::onUpload);
    connect(ui->buttonReset, &QPushButton::clicked, this, &UpdateDialog::onReboot);
    connect(ui->buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->buttonOK, &QPushButton::clicked, this, &QDialog::accept);
}

UpdateDialog::~UpdateDialog() = default;

QString UpdateDialog::styleSheetText()
{
    return QStringLiteral(
               "QWidget{   font-family: Roboto;  font-size:16px;}QDialog {  border: 0pt;}") +
           dialogButtonStyle() +
           QStringLiteral("QPushButton:pressed {     border: 0px solid #999;    border-radius: 3px;"
                          "    padding:   0px;    color: ") +
           QColor(colorWhite).name() + QStringLiteral(";    background-color: ") +
           QColor(colorGray555).name() +
           QStringLiteral(";}QPushButton:disabled {    color: #CCC;    background-color: gray; }");
}

void UpdateDialog::done(int result)
{
    if (busy) {
        qCDebug(lcControl) << "update dialog busy: closing refused";
        return;
    }
    QDialog::done(result);
}

void UpdateDialog::setBusy(bool on)
{
    if (on == busy)
        return;
    busy = on;
    if (on) {
        enabledBeforeBusy.clear();
        for (QPushButton* button : findChildren<QPushButton*>()) {
            enabledBeforeBusy.append({button, button->isEnabled()});
            button->setEnabled(false);
        }
    } else {
        for (const auto& entry : qAsConst(enabledBeforeBusy))
            entry.first->setEnabled(entry.second);
        enabledBeforeBusy.clear();
    }
}

void UpdateDialog::onSelectFile()
{
    VTRACE();
    if (busy)
        return;
    const QString answer = QFileDialog::getOpenFileName(nullptr, tr("Firmware auswählen"),
                                                        model ? model->lastDir() : QString(),
                                                        tr("Kalvik Firmware (*.tgz)"));
    if (answer.isEmpty()) {
        // A cancelled choice keeps the archive chosen before, which the upload button offers.
        qCDebug(lcControl) << "filename is empty!";
        return;
    }
    fileName = answer;
    qCDebug(lcControl).noquote() << " filename=" + fileName;
    ui->labelFilename->setText(QStringLiteral("...") +
                               fileName.mid(fileName.lastIndexOf(QLatin1Char('/'))));
    ui->buttonUpload->setEnabled(true);
}

void UpdateDialog::onUpload()
{
    VTRACE();
    if (busy)
        return;
    if (fileName.isEmpty() || !connector) {
        ui->labelResult->setText(tr("Fehler beim Hochladen!"));
        return;
    }
    ui->labelResult->clear();
    // The transfer lets events through before and after the tool's run; a click queued
    // meanwhile must not start a second run.
    setBusy(true);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QPointer<UpdateDialog> self(this);
    ScpTransfer::Problem problem;
    const bool uploaded = connector->transferUpdateFile(fileName, &problem);
    // Takes the wait cursor away, and tells why the upload failed.
    ScpProblemBox::show(problem);
    if (!self)
        return;
    setBusy(false);
    if (uploaded) {
        ui->labelResult->setText(tr("Hochladen erfolgreich."));
        ui->buttonOK->setEnabled(true);
    } else {
        ui->labelResult->setText(tr("Fehler beim Hochladen!"));
    }
}

void UpdateDialog::onReboot()
{
    VTRACE();
    if (busy)
        return;
    if (!connector) {
        ui->labelResult2->setText(tr("Fehler beim Reboot!"));
        return;
    }
    setBusy(true);
    QPointer<UpdateDialog> self(this);
    QPointer<KalvikConnector> link = connector;
    // Neither the controller nor the main window may see a connection made here.
    const bool wasBlocked = link->blockSignals(true);
    const bool connectedBefore = link->isConnected();
    bool rebootSent = false;
    bool reached = connectedBefore;
    if (!connectedBefore) {
        ui->labelResult2->setText(tr("Connecting..."));
        // The device the archive went to: the address the application last used.
        link->connect(link->host());
        reached = waitForConnection(link);
        if (self)
            ui->labelResult2->setText(reached ? tr("OK") : tr("NO CONNECTION!"));
    }
    if (reached && link) {
        rebootSent = link->reboot();
        if (self) {
            ui->labelResult2->setText(rebootSent ? tr("Reboot Kommando gesendet.")
                                                 : tr("Fehler beim Reboot!"));
        }
    }
    if (link) {
        // The application did not ask for this connection and would take it for its own:
        // its next "Verbinden" would disconnect. Closed while nobody listens.
        if (!connectedBefore)
            link->disconnectFromHost();
        link->blockSignals(wasBlocked);
    }
    if (!self)
        return;
    setBusy(false);
    if (rebootSent)
        ui->buttonOK->setEnabled(true);
}

void UpdateDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The chosen file and the results stay as they were shown.
        const QString file = ui->labelFilename->text();
        const QString result = ui->labelResult->text();
        const QString result2 = ui->labelResult2->text();
        ui->retranslateUi(this);
        setWindowTitle(QStringLiteral("Update Dialog"));
        ui->labelTitle->setText(tr("<h2><b>Firmware Update</b></h2>"));
        ui->labelFilename->setText(file);
        ui->labelResult->setText(result);
        ui->labelResult2->setText(result2);
    }
    QDialog::changeEvent(event);
}
