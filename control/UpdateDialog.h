#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class KalvikConnector;
class Model;
class QPushButton;

namespace Ui {
class UpdateDialog;
}

// Uploads a firmware archive to the device's USB stick and sends the restart command.
// The restart may open a connection of its own; the controller never learns of it, and it
// is closed again before the dialog is usable once more.
class UpdateDialog : public QDialog
{
    Q_OBJECT

public:
    // How long the restart waits for a connection it opened itself.
    static constexpr int connectWaitMs = 3000;

    UpdateDialog(Model* model, KalvikConnector* connector, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    Ui::UpdateDialog* form() const { return ui.get(); }
    static QString styleSheetText();

public slots:
    void onSelectFile();
    void onUpload();
    void onReboot();
    // Refused while an upload or restart lets events run: the operation finishes first.
    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    // While busy every button is disabled; afterwards each gets back its earlier state.
    void setBusy(bool on);

    std::unique_ptr<Ui::UpdateDialog> ui;
    Model* model;
    QPointer<KalvikConnector> connector;
    QString fileName;
    bool busy = false;
    QList<QPair<QPushButton*, bool>> enabledBeforeBusy;
};
