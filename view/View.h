#pragma once

#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QVector>

#include <array>
#include <memory>

class ImageBox;
class QAction;
class QLabel;
class Model;
class MultiLanguageUtils;
class QMenu;
class StartWidget;
class TabBlackBox;
class TabEvaluation;
struct ReportInput;
class TabOszilloscope;
class TabProject;
class TabSensors;
class VerdictLamp;
struct Verdict;

namespace Ui {
class View;
}

// The main window: tool bar, drop-down menu and the tab widget holding the pages. It turns
// actions into signals for the controller, offers display operations and prompts, and
// redraws its title when the model changes.
class View : public QMainWindow
{
    Q_OBJECT

public:
    enum class Tabs
    {
        Home = 0,
        Project,
        Sensors,
        Oszi,
        Evaluation,
        BlackBox
    };
    enum class Actions
    {
        Menu = 0,
        Connect,
        Calibrate,
        StartRecording
    };
    enum class ActionState
    {
        Disabled = 0,
        Enabled,
        Highlighted,
        Alert
    };

    explicit View(Model* model, QWidget* parent = nullptr);
    ~View() override;

    // The icon at path drawn in one colour through the mask of its transparent pixels.
    static QIcon coloredIcon(const QString& path, const QColor& color);
    static QColor stateColor(ActionState state);

    void setActionState(Actions action, ActionState state);
    void setTabEnabled(Tabs tab, bool enabled);
    void setCurrentTab(Tabs tab);
    int tabIndex(Tabs tab) const;
    void setConnected(bool connected);
    void setRecordingRunning(bool running);
    void setProjectActionsEnabled(bool enabled);

    // "Speichern" (YesRole), "Verwerfen" (NoRole) or "Abbrechen" (RejectRole, also Esc).
    QMessageBox::ButtonRole askToSave();
    bool askToQuit();
    QMessageBox::ButtonRole askToSaveAndQuit();
    // A failed save, naming the file and the reason. With offerChoice the user picks
    // "Anderswo speichern..." (YesRole), "Verwerfen" (NoRole) or "Abbrechen" (RejectRole).
    QMessageBox::ButtonRole showSaveFailure(const QString& fileName, const QString& reason,
                                            bool offerChoice = false);
    void showInfo(const QString& title, const QString& text);
    bool confirmInfo(const QString& title, const QString& text);
    bool askYesNo(const QString& title, const QString& text, const QPixmap& icon = QPixmap());

    Ui::View* form() const { return ui.get(); }
    StartWidget* startWidget() const;
    TabProject* tabProject() const;
    TabOszilloscope* tabOszi() const;
    TabEvaluation* tabEvaluation() const;
    TabBlackBox* tabBlackBox() const;
    TabSensors* tabSensors() const;
    QMenu* dropDownMenu() const { return m_menu; }
    VerdictLamp* verdictLamp() const { return m_verdictLamp; }
    // The plant archive's state in the tool bar; hidden for an empty text.
    void showArchiveState(const QString& text, bool problem);
    QLabel* archiveStateLabel() const { return m_archiveState; }
    // While the link to the device is being restored: the tool bar says so with the time
    // since the loss, and the connect action offers "Trennen", which stops the retries.
    void setReconnecting(bool reconnecting, qint64 secondsSinceLoss = 0);
    QLabel* reconnectStateLabel() const { return m_reconnectState; }
    // The verdicts of the shots from the first, for every page that shows them.
    void showVerdicts(const QVector<Verdict>& verdicts);
    MultiLanguageUtils* languages() const { return m_languages; }
    // The recent projects, the latest first, on the start page and in the menu; a file
    // that is gone is shown greyed.
    void showRecentProjects(const QStringList& paths);
    QMenu* recentProjectsMenu() const { return m_recentMenu; }
    // The undo of the last deletion: the menu's action (Ctrl+Z) and the oscilloscope's button.
    void setUndoDeleteAvailable(bool available);
    QAction* undoDeleteAction() const { return m_undoDeleteAction; }
    // The oscilloscope as the picture "Oszilloskop speichern..." writes: the five sensors'
    // plots under their titles.
    QImage oscilloscopePicture() const;
    // The open viewer of project picture k, or null.
    ImageBox* imageBox(int k) const;

signals:
    void newProject();
    void openProject();
    void saveProject();
    void saveProjectAs();
    void connectDisconnect();
    void calibrate();
    void startStopRecording();
    void quit();
    void importBlackBox();
    void firmwareUpdate();
    void settingsRequested();
    void openImportBlackBoxData();
    // The measurement export the user asked for, to fileName.
    void exportMeasurements(const QString& fileName);
    // The report the user asked for, to the PDF fileName.
    void reportRequested(const QString& fileName);
    // The language changed and the window's own texts follow; texts others gave it are theirs.
    void retranslated();
    // A project picture chosen, or deleted (a null image).
    void projectImageChanged(int index, const QImage& image);
    void openRecentProject(const QString& path);
    void undoDelete();

public:
    // The warning for a measurement export that wrote nothing.
    void showMeasurementExportFailure(const QString& fileName);
    // The warning for a report that could not be written, with the reason.
    void showReportFailure(const QString& reason);
    // The evaluation pages' markers, runtime sensor and thresholds, which a report rests on.
    void fillReportSettings(ReportInput& input) const;

public slots:
    void menu();
    // The about dialog, modal over the window; its update button raises firmwareUpdate.
    void about();
    void offsetChanged(double offset);
    void resetCorrection();
    void updateView();
    void onModel_appStateChanged();
    void onModel_ProjectChanged();
    void onModel_DataChanged();
    void onModel_ViewDataChanged();
    void buttonLockPressed();
    // Switches to German when the German action sent it, to English otherwise.
    void languageChanged();
    void onTabSelected(int index);
    void commentChanged();
    void clearMarkers();
    void clearLogger();
    void loggerHeadline();
    void terminalClear();
    void terminalSend();
    void saveCSV();
    void saveOszi();
    void createReport();
    void saveTerminal();
    void imageButtonClicked();
    void imageLabelClicked();
    void deleteImage0Confimed();
    void deleteImage1Confimed();
    void deleteImage2Confimed();
    void deleteImage3Confimed();
    void deleteImage4Confimed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void readSettings();
    void setTitle(bool connected, bool withFileName);
    void labelTabs();
    void retranslate();
    // Only the action of the language not shown is offered: one press switches.
    void showLanguageToggle();
    QWidget* page(Tabs tab) const;
    QMessageBox* promptBox(const QString& text);
    QMessageBox::ButtonRole askSaveDiscardCancel(const QString& text);
    QMessageBox* infoBox(const QString& title, const QString& text, const QPixmap& icon);
    // A warning over the window for an export that wrote nothing; the debug line is the
    // caller's.
    void showExportFailure(const QString& text);
    // A warning titled "Speichern fehlgeschlagen" whose text is shown as plain text.
    QMessageBox* failureBox(const QString& objectName, const QString& text);
    void deleteImage(int k);
    // Shortcuts, the recent projects' menu, the undo and the terminal's export in the menu.
    void setUpMenuAdditions();
    void retranslateMenuAdditions();

    std::unique_ptr<Ui::View> ui;
    QPointer<Model> model;
    QMenu* m_menu = nullptr;
    MultiLanguageUtils* m_languages = nullptr;
    VerdictLamp* m_verdictLamp = nullptr;
    QLabel* m_archiveState = nullptr;
    QMenu* m_recentMenu = nullptr;
    QAction* m_undoDeleteAction = nullptr;
    QStringList m_recentShown;
    QAction* m_archiveStateAction = nullptr;
    // What the connect and record actions show; their texts are set again on a language change.
    bool m_connectedShown = false;
    QLabel* m_reconnectState = nullptr;
    QAction* m_reconnectStateAction = nullptr;
    bool m_reconnectShown = false;
    qint64 m_reconnectSeconds = 0;
    bool m_recordingShown = false;
    std::array<QPointer<ImageBox>, 5> m_imageBoxes;
    // The picture each viewer shows, so that a delete confirmed in a viewer opened on
    // another project's picture deletes nothing.
    std::array<qint64, 5> m_imageBoxKeys{};
};
