#include "view/View.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/MultiLanguageUtils.h"
#include "view/StartWidget.h"
#include "view/TabBlackBox.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationSingleShot.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "view/TabSensors.h"
#include "widgets/AboutDialog.h"
#include "widgets/ClickableLabel.h"
#include "widgets/VerdictLamp.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QTabBar>
#include <QTimer>

View::View(Model* m, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::View>())
    , model(m)
{
    VTRACE();
    ui->setupUi(this);
    setWindowIcon(QIcon(logoPath));
    readSettings();
    QTimer::singleShot(0, this, &QWidget::showMaximized);

    // Next to the connect action, where the user looks for the link, and before the lamp,
    // so that a narrow window keeps it in view.
    m_reconnectState = new QLabel(ui->toolBar);
    m_reconnectState->setObjectName(QStringLiteral("reconnectStateLabel"));
    m_reconnectState->setContentsMargins(12, 0, 12, 0);
    m_reconnectState->setStyleSheet(styleProblemText);
    // On two lines, so that the buttons keep their words on a small screen.
    m_reconnectState->setWordWrap(true);
    m_reconnectStateAction = ui->toolBar->addWidget(m_reconnectState);
    m_reconnectStateAction->setVisible(false);
    m_verdictLamp = new VerdictLamp(ui->toolBar);
    ui->toolBar->addWidget(m_verdictLamp);
    m_archiveState = new QLabel(ui->toolBar);
    m_archiveState->setObjectName(QStringLiteral("archiveStateLabel"));
    m_archiveState->setContentsMargins(12, 0, 0, 0);
    m_archiveStateAction = ui->toolBar->addWidget(m_archiveState);
    m_archiveStateAction->setVisible(false);
    auto* spacer = new QWidget(ui->toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ui->toolBar->addWidget(spacer);
    ui->toolBar->addWidget(new QLabel(appName + QLatin1Char(' ') + appVersion, ui->toolBar));
    auto* end = new QWidget(ui->toolBar);
    end->setMinimumWidth(20);
    ui->toolBar->addWidget(end);
    ui->toolBar->addAction(ui->actionLanguageGerman);
    ui->toolBar->addAction(ui->actionLanguageEnglish);
    m_languages = new MultiLanguageUtils(this);
    m_languages->initLanguages(appName);
    showLanguageToggle();

    setTitle(false, false);
    setRecordingRunning(false);
    setConnected(false);
    // The controller enables them when the program is ready.
    ui->actionConnect->setEnabled(false);
    ui->actionCalibrate->setEnabled(false);
    ui->actionStartRecording->setEnabled(false);

    ui->tabWidget->removeTab(ui->tabWidget->indexOf(ui->tabWebConfig));
    ui->tabWidget->removeTab(ui->tabWidget->indexOf(ui->tabLogger));
    ui->tabWidget->removeTab(ui->tabWidget->indexOf(ui->tabTerminal));
    labelTabs();
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &View::onTabSelected);

    ui->actionMenu->setIcon(coloredIcon(iconPath + QStringLiteral("menu.png"), qColorWhite));
    ui->actionConnect->setIcon(coloredIcon(iconPath + QStringLiteral("wifi.png"), qColorWhite));
    ui->actionDisconnect->setIcon(
        coloredIcon(iconPath + QStringLiteral("disconnect.png"), qColorWhite));
    ui->actionCalibrate->setIcon(coloredIcon(iconPath + QStringLiteral("adjust.png"), qColorWhite));
    ui->actionStartRecording->setIcon(
        coloredIcon(iconPath + QStringLiteral("play.png"), qColorWhite));
    ui->actionNewProject->setIcon(QIcon(iconPath + QStringLiteral("new.png")));
    ui->actionOpenProject->setIcon(QIcon(iconPath + QStringLiteral("open.png")));
    ui->actionSaveProject->setIcon(QIcon(iconPath + QStringLiteral("save.png")));
    ui->actionAbout->setIcon(QIcon(logoPath));
    ui->actionLanguageGerman->setIcon(QIcon(iconPath + QStringLiteral("german.png")));
    ui->actionLanguageEnglish->setIcon(QIcon(iconPath + QStringLiteral("english.png")));

    connect(ui->actionNewProject, &QAction::triggered, this, &View::newProject);
    connect(ui->actionOpenProject, &QAction::triggered, this, &View::openProject);
    connect(ui->actionSaveProject, &QAction::triggered, this, &View::saveProject);
    connect(ui->actionSaveAs, &QAction::triggered, this, &View::saveProjectAs);
    connect(ui->actionConnect, &QAction::triggered, this, &View::connectDisconnect);
    connect(ui->actionCalibrate, &QAction::triggered, this, &View::calibrate);
    connect(ui->actionStartRecording, &QAction::triggered, this, &View::startStopRecording);
    connect(ui->actionQuit, &QAction::triggered, this, &View::quit);
    connect(ui->actionMenu, &QAction::triggered, this, &View::menu);
    connect(ui->actionAbout, &QAction::triggered, this, &View::about);
    connect(ui->actionSettings, &QAction::triggered, this, &View::settingsRequested);
    connect(ui->tabOszi, &TabOszilloscope::cursorsChanged, this,
            [this] { ui->tabEvaluation->setCursors(ui->tabOszi->cursors()); });
    // A shot picked on the SPC page is shown on the oscilloscope and the overlay page.
    connect(ui->tabEvaluation, &TabEvaluation::shotSelected, this, [this](int index) {
        ui->tabOszi->highlightShot(index);
        ui->tabEvaluation->singleShotPage()->showShot(index);
    });
    connect(ui->actionLanguageGerman, &QAction::triggered, this, &View::languageChanged);
    connect(ui->actionLanguageEnglish, &QAction::triggered, this, &View::languageChanged);
    connect(ui->actionSaveCSV, &QAction::triggered, this, &View::saveCSV);
    connect(ui->actionReport, &QAction::triggered, this, &View::createReport);
    connect(ui->actionSaveOszi, &QAction::triggered, this, &View::saveOszi);
    connect(ui->actionSaveTerminal, &QAction::triggered, this, &View::saveTerminal);

    m_menu = new QMenu(this);
    m_menu->addAction(ui->actionNewProject);
    m_menu->addAction(ui->actionOpenProject);
    m_menu->addAction(ui->actionSaveProject);
    m_menu->addAction(ui->actionSaveAs);
    m_menu->addAction(ui->actionSaveCSV);
    m_menu->addAction(ui->actionSaveOszi);
    m_menu->addAction(ui->actionReport);
    m_menu->addSeparator();
    m_menu->addAction(ui->actionSettings);
    m_menu->addAction(ui->actionAbout);
    m_menu->addSeparator();
    m_menu->addAction(ui->actionQuit);

    setActionState(Actions::Connect, ActionState::Disabled);
    setActionState(Actions::Calibrate, ActionState::Disabled);
    setActionState(Actions::StartRecording, ActionState::Disabled);
    setUpMenuAdditions();

    if (!model)
        qCWarning(lcView) << "ERROR: model must be set!";
    StartWidget* home = startWidget();
    connect(home, &StartWidget::newProject, this, &View::newProject);
    connect(home, &StartWidget::openProject, this, &View::openProject);
    connect(home, &StartWidget::importBlackBox, this, &View::importBlackBox);
    connect(home, &StartWidget::firmwareUpdate, this, &View::firmwareUpdate);
    TabProject* project = tabProject();
    project->setModel(model);
    connect(project->form()->textEditComment, &QTextEdit::textChanged, this, &View::commentChanged);
    const Ui::TabProject* projectForm = project->form();
    for (QPushButton* button :
         {projectForm->imageButton0, projectForm->imageButton1, projectForm->imageButton2,
          projectForm->imageButton3, projectForm->imageButton4})
        connect(button, &QPushButton::clicked, this, &View::imageButtonClicked);
    for (ClickableLabel* label :
         {projectForm->imageLabel0, projectForm->imageLabel1, projectForm->imageLabel2,
          projectForm->imageLabel3, projectForm->imageLabel4})
        connect(label, &ClickableLabel::clicked, this, &View::imageLabelClicked);
    ui->tabSensors->setModel(model);
    TabOszilloscope* oszi = tabOszi();
    oszi->setModel(model);
    // A project opened at start announced its view settings before this page existed.
    if (model)
        oszi->setViewData(model->viewData(), model->isLocked());
    for (int k = 0; k < TabOszilloscope::numSensors; ++k)
        connect(oszi->offsetSpinBox(k), QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &View::offsetChanged);
    connect(oszi->clearMarkersButton(), &QPushButton::clicked, this, &View::clearMarkers);
    connect(oszi->lockButton(), &QAbstractButton::clicked, this, &View::buttonLockPressed);
    ui->tabEvaluation->setModel(model);
    ui->tabBlackBox->setModel(model);
    ui->tabWidget->setCurrentWidget(ui->tabHome);

    QFont loggerFont(QStringLiteral("Courier New"));
    loggerFont.setStyleHint(QFont::TypeWriter);
    ui->editLogger->setFont(loggerFont);
    clearLogger();
    connect(ui->loggerButtonClear, &QPushButton::clicked, this, &View::clearLogger);
    connect(ui->buttonSend, &QPushButton::clicked, this, &View::terminalSend);
    connect(ui->buttonClearTerminal, &QPushButton::clicked, this, &View::terminalClear);
    ui->loggerCheckBoxA0->setStyleSheet(QStringLiteral("QCheckBox { color: ") +
                                        colorDarkRed.name() + QStringLiteral("; }"));
    ui->loggerCheckBoxA1->setStyleSheet(QStringLiteral("QCheckBox { color: ") +
                                        colorDarkGreen.name() + QStringLiteral("; }"));

    if (model) {
        connect(model, &Model::appStateChanged, this, &View::onModel_appStateChanged);
        connect(model, &Model::projectChanged, this, &View::updateView);
        connect(model, &Model::dataChanged, this, &View::updateView);
        connect(model, &Model::viewDataChanged, this, &View::onModel_ViewDataChanged);
    }
}

View::~View() = default;

StartWidget* View::startWidget() const
{
    return ui->tabHome;
}

TabProject* View::tabProject() const
{
    return ui->tabProject;
}

TabOszilloscope* View::tabOszi() const
{
    return ui->tabOszi;
}

void View::showArchiveState(const QString& text, bool problem)
{
    m_archiveState->setText(text);
    m_archiveState->setStyleSheet(problem ? styleProblemText : QString());
    m_archiveStateAction->setVisible(!text.isEmpty());
}

void View::setReconnecting(bool reconnecting, qint64 secondsSinceLoss)
{
    m_reconnectShown = reconnecting;
    m_reconnectSeconds = secondsSinceLoss;
    m_reconnectStateAction->setVisible(reconnecting);
    if (reconnecting) {
        const qint64 hours = secondsSinceLoss / 3600;
        const qint64 minutes = secondsSinceLoss / 60 % 60;
        const QString seconds =
            QStringLiteral("%1").arg(secondsSinceLoss % 60, 2, 10, QLatin1Char('0'));
        const QString elapsed = hours > 0 ? QStringLiteral("%1:%2:%3")
                                                .arg(hours)
                                                .arg(minutes, 2, 10, QLatin1Char('0'))
                                                .arg(seconds)
                                          : QStringLiteral("%1:%2").arg(minutes).arg(seconds);
        m_reconnectState->setText(tr("Verbindung wird wiederhergestellt...") +
                                  QStringLiteral(" (%1)").arg(elapsed));
    } else {
        m_reconnectState->clear();
    }
    setConnected(model && model->isConnected());
}

void View::showVerdicts(const QVector<Verdict>& verdicts)
{
    ui->tabOszi->setVerdicts(verdicts);
    ui->tabEvaluation->setVerdicts(verdicts);
}

TabEvaluation* View::tabEvaluation() const
{
    return ui->tabEvaluation;
}

TabSensors* View::tabSensors() const
{
    return ui->tabSensors;
}

TabBlackBox* View::tabBlackBox() const
{
    return ui->tabBlackBox;
}

QIcon View::coloredIcon(const QString& path, const QColor& color)
{
    const QPixmap picture(path);
    if (!color.isValid() || picture.isNull())
        return QIcon(picture);
    QPixmap colored(picture.size());
    colored.fill(color);
    colored.setMask(picture.createMaskFromColor(Qt::transparent));
    return QIcon(colored);
}

QColor View::stateColor(ActionState state)
{
    switch (state) {
    case ActionState::Disabled:
        return qColorGrayAAA;
    case ActionState::Enabled:
        return qColorWhite;
    case ActionState::Highlighted:
        return qColorPrimary;
    case ActionState::Alert:
        return colorRed;
    }
    return QColor();
}

void View::setActionState(Actions action, ActionState state)
{
    qCDebug(lcTrace) << "action=" << static_cast<int>(action)
                     << "state=" << static_cast<int>(state);
    QAction* enabled = nullptr;
    QAction* recoloured = nullptr;
    QString icon;
    switch (action) {
    case Actions::Menu:
        enabled = ui->actionMenu;
        recoloured = ui->actionConnect;
        icon = QStringLiteral("wifi.png");
        break;
    case Actions::Connect:
        enabled = recoloured = ui->actionConnect;
        icon = QStringLiteral("wifi.png");
        break;
    case Actions::Calibrate:
        enabled = recoloured = ui->actionCalibrate;
        icon = QStringLiteral("adjust.png");
        break;
    case Actions::StartRecording:
        enabled = recoloured = ui->actionStartRecording;
        icon = QStringLiteral("play.png");
        break;
    }
    if (!enabled)
        return;
    enabled->setEnabled(state != ActionState::Disabled);
    recoloured->setIcon(coloredIcon(iconPath + icon, stateColor(state)));
}

QWidget* View::page(Tabs tab) const
{
    switch (tab) {
    case Tabs::Home:
        return ui->tabHome;
    case Tabs::Project:
        return ui->tabProject;
    case Tabs::Sensors:
        return ui->tabSensors;
    case Tabs::Oszi:
        return ui->tabOszi;
    case Tabs::Evaluation:
        return ui->tabEvaluation;
    case Tabs::BlackBox:
        return ui->tabBlackBox;
    }
    return nullptr;
}

int View::tabIndex(Tabs tab) const
{
    const QWidget* p = page(tab);
    if (!p) {
        qCWarning(lcView).noquote()
            << "int View::tabIndex(Tabs)"
            << "index " + QString::number(static_cast<int>(tab)) + " not known!!!";
        return 0;
    }
    return ui->tabWidget->indexOf(const_cast<QWidget*>(p));
}

void View::setTabEnabled(Tabs tab, bool enabled)
{
    ui->tabWidget->setTabEnabled(tabIndex(tab), enabled);
}

void View::setCurrentTab(Tabs tab)
{
    ui->tabWidget->setCurrentIndex(tabIndex(tab));
}

void View::labelTabs()
{
    // Labels on the tab buttons keep the texts upright on the side tab bar.
    const QStringList labels = {tr("Home"),      tr("Projekt"),    tr("Sensoren"),
                                tr("Messdaten"), tr("Auswertung"), tr("BlackBox")};
    QTabBar* bar = ui->tabWidget->tabBar();
    for (int i = 0; i < ui->tabWidget->count() && i < labels.size(); ++i) {
        ui->tabWidget->setTabText(i, QString());
        auto* label = qobject_cast<QLabel*>(bar->tabButton(i, QTabBar::LeftSide));
        if (!label) {
            label = new QLabel(bar);
            bar->setTabButton(i, QTabBar::LeftSide, label);
        }
        label->setText(labels.at(i));
        label->setFixedSize(label->sizeHint().expandedTo(QSize(120, 40)));
    }
}

void View::setTitle(bool connected, bool withFileName)
{
    QString title = companyName + QStringLiteral(" - ") + appName + QLatin1Char(' ') + appVersion;
    if (!connected)
        title += QStringLiteral(" (disconnected)");
    if (withFileName && model && !model->projectFileName().isEmpty())
        title += QStringLiteral(" [") + QFileInfo(model->projectFileName()).fileName() +
                 QLatin1Char(']');
    setWindowTitle(title);
}

void View::setConnected(bool connected)
{
    m_connectedShown = connected;
    if (connected) {
        setActionState(Actions::Connect, ActionState::Highlighted);
        ui->actionConnect->setText(tr("&Trennen"));
        setActionState(Actions::Calibrate, ActionState::Enabled);
        setActionState(Actions::StartRecording, ActionState::Enabled);
        setRecordingRunning(false);
        setTitle(true, true);
        setTabEnabled(Tabs::Sensors, true);
        setTabEnabled(Tabs::Oszi, true);
    } else {
        // The recording display goes first: it enables calibrate and record, which need a
        // connection.
        setRecordingRunning(false);
        // While the link is restored, the action stops that.
        setActionState(Actions::Connect,
                       m_reconnectShown ? ActionState::Alert : ActionState::Enabled);
        ui->actionConnect->setText(m_reconnectShown ? tr("&Trennen") : tr("&Verbinden"));
        setActionState(Actions::Calibrate, ActionState::Disabled);
        setActionState(Actions::StartRecording, ActionState::Disabled);
        setTitle(false, true);
    }
}

void View::setRecordingRunning(bool running)
{
    m_recordingShown = running;
    if (running) {
        setActionState(Actions::StartRecording, ActionState::Highlighted);
        ui->actionStartRecording->setIcon(
            coloredIcon(iconPath + QStringLiteral("stop.png"), qColorPrimary));
        ui->actionStartRecording->setText(tr("&Stop"));
    } else {
        setActionState(Actions::StartRecording, ActionState::Enabled);
        ui->actionStartRecording->setIcon(
            coloredIcon(iconPath + QStringLiteral("play.png"), qColorWhite));
        ui->actionStartRecording->setText(tr("&Start"));
    }
    setActionState(Actions::Calibrate, ActionState::Enabled);
    setProjectActionsEnabled(!running);
}

void View::setProjectActionsEnabled(bool enabled)
{
    ui->actionNewProject->setEnabled(enabled);
    ui->actionOpenProject->setEnabled(enabled);
    ui->actionSaveProject->setEnabled(enabled);
}

QMessageBox* View::promptBox(const QString& text)
{
    auto* box = new QMessageBox;
    // Frameless like a popup, but a popup closes on any click beside it, which would answer
    // "Verwerfen" and throw away unsaved shots.
    box->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    box->setMinimumSize(800, 600);
    box->setWindowTitle(appName);
    box->setText(text);
    return box;
}

QMessageBox::ButtonRole View::askToSave()
{
    return askSaveDiscardCancel(tr("Projekt speichern?"));
}

QMessageBox::ButtonRole View::askSaveDiscardCancel(const QString& text)
{
    std::unique_ptr<QMessageBox> box(promptBox(text));
    QPushButton* save = box->addButton(tr("Speichern"), QMessageBox::YesRole);
    QPushButton* discard = box->addButton(tr("Verwerfen"), QMessageBox::NoRole);
    QPushButton* cancel = box->addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box->setDefaultButton(discard);
    // Esc and the window's close button must never throw away unsaved shots.
    box->setEscapeButton(cancel);
    box->exec();
    if (box->clickedButton() == save)
        return QMessageBox::YesRole;
    if (box->clickedButton() == discard)
        return QMessageBox::NoRole;
    return QMessageBox::RejectRole;
}

bool View::askToQuit()
{
    std::unique_ptr<QMessageBox> box(promptBox(tr("Ventaro beenden?")));
    QPushButton* ok = box->addButton(tr("OK"), QMessageBox::YesRole);
    QPushButton* cancel = box->addButton(tr("Abbrechen"), QMessageBox::NoRole);
    box->setDefaultButton(cancel);
    box->exec();
    return box->clickedButton() == ok;
}

QMessageBox::ButtonRole View::showSaveFailure(const QString& fileName, const QString& reason,
                                              bool offerChoice)
{
    QString text = tr("Das Projekt konnte nicht in die Datei %1 gespeichert werden.")
                       .arg(QDir::toNativeSeparators(fileName));
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    const std::unique_ptr<QMessageBox> box(failureBox(QStringLiteral("saveFailureBox"), text));
    if (!offerChoice) {
        box->addButton(tr("OK"), QMessageBox::AcceptRole);
        box->exec();
        return QMessageBox::AcceptRole;
    }
    box->setInformativeText(tr("Die Messdaten sind noch nicht gesichert."));
    QPushButton* elsewhere = box->addButton(tr("Anderswo speichern..."), QMessageBox::YesRole);
    QPushButton* discard = box->addButton(tr("Verwerfen"), QMessageBox::NoRole);
    QPushButton* cancel = box->addButton(tr("Abbrechen"), QMessageBox::RejectRole);
    box->setDefaultButton(elsewhere);
    box->setEscapeButton(cancel);
    box->exec();
    if (box->clickedButton() == elsewhere)
        return QMessageBox::YesRole;
    if (box->clickedButton() == discard)
        return QMessageBox::NoRole;
    return QMessageBox::RejectRole;
}

QMessageBox* View::failureBox(const QString& objectName, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Speichern fehlgeschlagen"), text,
                                QMessageBox::NoButton, this);
    box->setObjectName(objectName);
    // File names and the system's reasons are shown as they are, never read as markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

QMessageBox::ButtonRole View::askToSaveAndQuit()
{
    return askSaveDiscardCancel(tr("Vor dem Beenden Ventaro Projekt speichern?"));
}

QMessageBox* View::infoBox(const QString& title, const QString& text, const QPixmap& icon)
{
    auto* box = new QMessageBox(this);
    box->setWindowFlags(box->windowFlags() | Qt::FramelessWindowHint);
    box->setWindowTitle(title);
    box->setText(QStringLiteral("<b>") + title + QStringLiteral("</b>"));
    box->setInformativeText(text);
    if (!icon.isNull())
        box->setIconPixmap(icon.scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return box;
}

void View::showInfo(const QString& title, const QString& text)
{
    std::unique_ptr<QMessageBox> box(
        infoBox(title, text,
                coloredIcon(iconPath + QStringLiteral("wifi.png"), qColorWhite).pixmap(100, 100)));
    box->addButton(tr("OK"), QMessageBox::AcceptRole);
    box->exec();
}

bool View::confirmInfo(const QString& title, const QString& text)
{
    std::unique_ptr<QMessageBox> box(
        infoBox(title, text,
                coloredIcon(iconPath + QStringLiteral("wifi.png"), qColorWhite).pixmap(100, 100)));
    QPushButton* ok = box->addButton(tr("OK"), QMessageBox::AcceptRole);
    box->exec();
    return box->clickedButton() == ok;
}

bool View::askYesNo(const QString& title, const QString& text, const QPixmap& icon)
{
    std::unique_ptr<QMessageBox> box(infoBox(title, text, icon));
    QPushButton* yes = box->addButton(tr("Ja"), QMessageBox::YesRole);
    box->addButton(tr("Nein"), QMessageBox::NoRole);
    box->exec();
    return box->clickedButton() == yes;
}

void View::menu()
{
    m_menu->popup(mapToGlobal(QPoint(5, 50)));
}

void View::about()
{
    VTRACE();
    AboutDialog dialog(model ? model->hwVersion() : QString(),
                       model ? model->firmwareVersion() : QString(), this);
    connect(&dialog, &AboutDialog::updateClicked, this, &View::firmwareUpdate);
    dialog.exec();
}

void View::updateView()
{
    // The title tells the connection as it is and the file whenever there is one.
    setTitle(model && model->isConnected(), true);
}

void View::onModel_appStateChanged()
{
    if (!model) {
        qCWarning(lcView) << "model is NULL !!!";
        return;
    }
    setConnected(model->isConnected());
}

void View::onModel_ProjectChanged()
{
    updateView();
}

void View::onModel_DataChanged()
{
    updateView();
}

void View::onModel_ViewDataChanged()
{
    if (!model)
        return;
    qCDebug(lcView) << model->viewData();
    tabOszi()->setViewData(model->viewData(), model->isLocked());
}

void View::buttonLockPressed()
{
    if (!model)
        return;
    model->setLocked(!model->isLocked());
    tabOszi()->setLocked(model->isLocked());
}

void View::offsetChanged(double offset)
{
    const int sensor = tabOszi()->offsetSpinBoxIndex(sender());
    if (sensor < 0) {
        qCWarning(lcView) << "offsetChanged: unknown sender" << sender();
        return;
    }
    if (!model)
        return;
    model->setOffset(sensor, offset);
    emit model->projectChanged();
}

void View::resetCorrection()
{
    if (model)
        model->resetOffsets();
}

void View::onTabSelected(int index)
{
    qCDebug(lcTrace) << "index=" << index;
    if (ui->tabWidget->widget(index) == ui->tabEvaluation) {
        qCDebug(lcView) << "EVALUATION is selected!!!";
        ui->tabEvaluation->update();
    }
}

void View::commentChanged()
{
    if (model)
        model->setComment(tabProject()->form()->textEditComment->toPlainText());
}

void View::clearMarkers()
{
    if (!model)
        return;
    for (int i = 0; i < 4; ++i)
        model->setVerticalMarkerAbsolute(i, 0);
}

void View::clearLogger()
{
    ui->editLogger->clear();
    loggerHeadline();
}

void View::loggerHeadline()
{
    QString names = QStringLiteral("time");
    QString rule = QStringLiteral("------");
    if (ui->loggerCheckBoxA0->isChecked()) {
        names += QStringLiteral("\tSensor 1");
        rule += QStringLiteral("\t--");
    }
    if (ui->loggerCheckBoxA1->isChecked()) {
        names += QStringLiteral("\tSensor 2");
        rule += QStringLiteral("\t--");
    }
    ui->editLogger->append(names);
    ui->editLogger->append(rule);
}

void View::terminalClear()
{
    ui->editTerminal->clear();
}

void View::terminalSend()
{
    // No device command channel is attached to the terminal page.
    const QString text = ui->lineEditTerminal->text() + QStringLiteral("\r\n");
    qCDebug(lcView).noquote() << "terminal:" << text.trimmed();
}

void View::readSettings()
{
    QSettings settings(settingsOrganization, settingsApplication);
    move(settings.value(settingsKeyMainWindowPos, QPoint(200, 200)).toPoint());
    resize(settings.value(settingsKeyMainWindowSize, QSize(400, 400)).toSize());
    if (model)
        model->setLastDir(settings.value(settingsKeyLastDir, QString()).toString());
}

void View::showEvent(QShowEvent* event)
{
    readSettings();
    QMainWindow::showEvent(event);
}

void View::closeEvent(QCloseEvent* event)
{
    // Every way of quitting goes through the controller's prompts.
    event->ignore();
    ui->actionQuit->trigger();
}

void View::languageChanged()
{
    VTRACE();
    const bool german = sender() == ui->actionLanguageGerman;
    m_languages->chooseLanguage(german ? MultiLanguageUtils::sourceLanguage : QStringLiteral("en"));
    showLanguageToggle();
    updateView();
}

void View::showLanguageToggle()
{
    const bool german = m_languages->currentLanguage() == MultiLanguageUtils::sourceLanguage;
    ui->actionLanguageGerman->setVisible(!german);
    ui->actionLanguageEnglish->setVisible(german);
}

void View::retranslate()
{
    ui->retranslateUi(this);
    labelTabs();
    // The form's texts are those of the idle state.
    ui->actionConnect->setText(m_connectedShown || m_reconnectShown ? tr("&Trennen")
                                                                    : tr("&Verbinden"));
    ui->actionStartRecording->setText(m_recordingShown ? tr("&Stop") : tr("&Start"));
    retranslateMenuAdditions();
    if (model)
        model->retranslatePhaseNames();
    if (m_reconnectShown)
        setReconnecting(true, m_reconnectSeconds);
    updateView();
    emit retranslated();
}

void View::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
    } else if (event->type() == QEvent::LocaleChange && m_languages) {
        m_languages->followSystemLanguage();
        showLanguageToggle();
    }
    QMainWindow::changeEvent(event);
}
