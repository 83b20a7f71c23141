#pragma once

#include <QDialog>

#include <memory>

class Model;

namespace Ui {
class IntegrationDialog;
}

class IntegrationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit IntegrationDialog(Model* model, QWidget* parent = nullptr);
    ~IntegrationDialog() override;

    Ui::IntegrationDialog* form() const { return ui.get(); }

signals:
    void updateClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::IntegrationDialog> ui;
    Model* model;
};
