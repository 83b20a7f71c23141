#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class AboutDialog;
}

// The main window's information dialog: product, version and build date, the connected
// device's versions, the maker. The firmware update is reached from here.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // The device's versions as the device described itself; empty when not known.
    AboutDialog(const QString& hwVersion, const QString& firmwareVersion,
                QWidget* parent = nullptr);
    ~AboutDialog() override;

    Ui::AboutDialog* form() const { return ui.get(); }

signals:
    void updateClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    std::unique_ptr<Ui::AboutDialog> ui;
    QString m_hwVersion;
    QString m_firmwareVersion;
};
