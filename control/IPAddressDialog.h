#pragma once

#include <QDialog>

#include <memory>

class Model;

namespace Ui {
class IPAddressDialog;
}

class IPAddressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit IPAddressDialog(Model* model, QWidget* parent = nullptr);
    ~IPAddressDialog() override;

    Ui::IPAddressDialog* form() const { return ui.get(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::IPAddressDialog> ui;
    Model* model;
};
