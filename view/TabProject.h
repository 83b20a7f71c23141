#pragma once

#include "model/ProjectData.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class Model;

namespace Ui {
class TabProject;
}

// The project sheet: header, process parameters, phase names, comment, pictures and the
// sample period. It never writes into the model; every edit leaves as a signal and the
// model's signals bring the new state back.
class TabProject : public QWidget
{
    Q_OBJECT

public:
    explicit TabProject(QWidget* parent = nullptr);
    ~TabProject() override;

    void setModel(const Model* model);
    // The header as the form shows it; its markers are 0.
    ProjectData projectData() const;

    Ui::TabProject* form() const { return ui.get(); }

signals:
    void projectDataChanged();
    void buttonClearDataClicked();
    void clockChanged(const QString& clock);
    void labelCompanyClicked();
    void phaseEditChanged(int index, const QString& text);

public slots:
    void onModel_appStateChanged();
    void onModel_projectChanged();
    void onModel_dataChanged();

private slots:
    void onPhaseEditChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyEnablingRule();
    void showClock();

    std::unique_ptr<Ui::TabProject> ui;
    QPointer<const Model> model;
};
