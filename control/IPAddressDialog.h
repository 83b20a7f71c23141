#pragma once

#include <QDialog>

#include <memory>

class Model;

namespace Ui {
class IPAddressDialog;
}

// Asks for another device address after a failed connection. Only an IPv4 address or a
// host name is taken: the address also becomes part of the SCP tool's script.
class IPAddressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit IPAddressDialog(Model* model, QWidget* parent = nullptr);
    ~IPAddressDialog() override;

    Ui::IPAddressDialog* form() const { return ui.get(); }
    // The typed address without blanks around it.
    QString address() const;

public slots:
    // Refused, with a note in the dialog, while the text is no address.
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void onTextChanged();

    std::unique_ptr<Ui::IPAddressDialog> ui;
    Model* model;
};
