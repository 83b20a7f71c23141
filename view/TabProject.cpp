#include "view/TabProject.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabProject.h"

#include <QEvent>
#include <QSignalBlocker>

TabProject::TabProject(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TabProject>())
{
    ui->setupUi(this);
    ui->companyLabel->setPixmap(QPixmap(logoPath));
    ui->buttonClearData->setIcon(QIcon(iconPath + QStringLiteral("delete.png")));
    ui->labelPhases->setStyleSheet(QStringLiteral("QLabel { color: ") + colorPrimary +
                                   QStringLiteral("; font-size: 24px; }"));
    for (QGroupBox* box : {ui->groupBoxProjectInfo, ui->groupBoxParameter, ui->groupBoxRecording,
                           ui->groupBoxImages, ui->groupBoxComment})
        box->setStyleSheet(QStringLiteral("QGroupBox { color: ") + colorPrimary +
                           QStringLiteral("; font-size: 24px; }"));

    for (QLineEdit* edit : {ui->projectNameEdit, ui->projectNumberEdit, ui->projectDateEdit,
                            ui->projectPersonEdit, ui->projectCustomerEdit})
        connect(edit, &QLineEdit::editingFinished, this, &TabProject::projectDataChanged);
    connect(ui->spinBoxInjectionTime, &QAbstractSpinBox::editingFinished, this,
            &TabProject::projectDataChanged);
    connect(ui->spinBoxPressTime, &QAbstractSpinBox::editingFinished, this,
            &TabProject::projectDataChanged);
    connect(ui->spinBoxClosePower, &QAbstractSpinBox::editingFinished, this,
            &TabProject::projectDataChanged);
    connect(ui->spinBoxPressure, &QAbstractSpinBox::editingFinished, this,
            &TabProject::projectDataChanged);
    for (QLineEdit* edit :
         {ui->phase1Edit, ui->phase2Edit, ui->phase3Edit, ui->phase4Edit, ui->phase5Edit})
        connect(edit, &QLineEdit::editingFinished, this, &TabProject::onPhaseEditChanged);
    connect(ui->selectionBoxClock, &QComboBox::currentTextChanged, this, &TabProject::clockChanged);
    connect(ui->buttonClearData, &QPushButton::clicked, this, &TabProject::buttonClearDataClicked);
    connect(ui->companyLabel, &ClickableLabel::clicked, this, &TabProject::labelCompanyClicked);
}

TabProject::~TabProject()
{
    // Closing the page moves the focus, and an edit that loses it reports editingFinished;
    // that must not reach this page while QWidget's destructor runs.
    const auto children = findChildren<QObject*>();
    for (QObject* child : children)
        child->disconnect(this);
}

void TabProject::setModel(const Model* m)
{
    VTRACE();
    if (!m) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    model = m;
    connect(m, &Model::appStateChanged, this, &TabProject::onModel_appStateChanged);
    connect(m, &Model::projectChanged, this, &TabProject::onModel_projectChanged);
    connect(m, &Model::dataChanged, this, &TabProject::onModel_dataChanged);
    onModel_projectChanged();
}

ProjectData TabProject::projectData() const
{
    ProjectData data;
    data.name = ui->projectNameEdit->text();
    data.number = ui->projectNumberEdit->text();
    data.date = ui->projectDateEdit->text();
    data.user = ui->projectPersonEdit->text();
    data.customer = ui->projectCustomerEdit->text();
    data.closingForce = ui->spinBoxClosePower->value();
    data.injectionTime = ui->spinBoxInjectionTime->value();
    data.pressTime = ui->spinBoxPressTime->value();
    data.pressure = ui->spinBoxPressure->value();
    const QLineEdit* phases[] = {ui->phase1Edit, ui->phase2Edit, ui->phase3Edit, ui->phase4Edit,
                                 ui->phase5Edit};
    for (int i = 0; i < ProjectData::numPhases; ++i)
        data.phaseNames[static_cast<size_t>(i)] = phases[i]->text();
    return data;
}

void TabProject::onPhaseEditChanged()
{
    const QObject* edits[] = {ui->phase1Edit, ui->phase2Edit, ui->phase3Edit, ui->phase4Edit,
                              ui->phase5Edit};
    const auto* edit = qobject_cast<const QLineEdit*>(sender());
    int index = -1;
    for (int i = 0; i < ProjectData::numPhases; ++i) {
        if (edits[i] == sender())
            index = i;
    }
    if (index < 0 || !edit) {
        qCWarning(lcView) << "Wrong phase index!!";
        return;
    }
    qCDebug(lcTrace).noquote() << "emitting phaseEditChanged(" << index << "," << edit->text()
                               << ")";
    emit phaseEditChanged(index, edit->text());
}

void TabProject::onModel_appStateChanged()
{
    applyEnablingRule();
}

void TabProject::onModel_projectChanged()
{
    VTRACE();
    if (!model)
        return;
    const QSignalBlocker blockTab(this);
    const ProjectData& data = model->projectData();
    const auto setText = [](QLineEdit* edit, const QString& text) {
        const QSignalBlocker block(edit);
        // Leaves the cursor alone when nothing changed, so typing is not disturbed.
        if (edit->text() != text)
            edit->setText(text);
    };
    setText(ui->projectNameEdit, data.name);
    setText(ui->projectNumberEdit, data.number);
    setText(ui->projectDateEdit, data.date);
    setText(ui->projectPersonEdit, data.user);
    setText(ui->projectCustomerEdit, data.customer);
    {
        const QSignalBlocker b1(ui->spinBoxClosePower);
        const QSignalBlocker b2(ui->spinBoxInjectionTime);
        const QSignalBlocker b3(ui->spinBoxPressTime);
        const QSignalBlocker b4(ui->spinBoxPressure);
        ui->spinBoxClosePower->setValue(data.closingForce);
        ui->spinBoxInjectionTime->setValue(data.injectionTime);
        ui->spinBoxPressTime->setValue(data.pressTime);
        ui->spinBoxPressure->setValue(data.pressure);
    }
    QLineEdit* phases[] = {ui->phase1Edit, ui->phase2Edit, ui->phase3Edit, ui->phase4Edit,
                           ui->phase5Edit};
    for (int i = 0; i < ProjectData::numPhases; ++i)
        setText(phases[i], model->phaseName(i));
    showClock();
    if (!ui->textEditComment->hasFocus() &&
        ui->textEditComment->toPlainText() != model->comment()) {
        const QSignalBlocker block(ui->textEditComment);
        ui->textEditComment->setPlainText(model->comment());
    }
    ClickableLabel* labels[] = {ui->imageLabel0, ui->imageLabel1, ui->imageLabel2, ui->imageLabel3,
                                ui->imageLabel4};
    QPushButton* buttons[] = {ui->imageButton0, ui->imageButton1, ui->imageButton2,
                              ui->imageButton3, ui->imageButton4};
    for (int i = 0; i < Model::numImages; ++i) {
        const QImage image = model->projectImage(i);
        if (image.isNull()) {
            labels[i]->setPixmap(QPixmap());
            labels[i]->setText(tr("(Bild)"));
        } else {
            labels[i]->setPixmap(QPixmap::fromImage(image));
        }
        buttons[i]->setVisible(image.isNull());
    }
    applyEnablingRule();
    qCDebug(lcTrace) << " END";
}

void TabProject::onModel_dataChanged()
{
    if (!model)
        return;
    const QSignalBlocker blockTab(this);
    showClock();
    applyEnablingRule();
}

void TabProject::showClock()
{
    const QSignalBlocker block(ui->selectionBoxClock);
    ui->selectionBoxClock->setCurrentText(QString::number(model->clock()) + QStringLiteral("ms"));
}

void TabProject::applyEnablingRule()
{
    if (!model)
        return;
    // The sample period cannot change within a recorded project.
    ui->selectionBoxClock->setEnabled(model->isConnected() && !model->hasData());
    ui->buttonClearData->setEnabled(model->hasData());
}

void TabProject::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        onModel_projectChanged();
    }
    QWidget::changeEvent(event);
}
