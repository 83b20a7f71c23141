// The main window's menu beyond the form: shortcuts, the recent projects and the undo of
// a deletion.
#include "view/View.h"

#include "ui_View.h"
#include "view/StartWidget.h"
#include "view/TabOszilloscope.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

void View::setUpMenuAdditions()
{
    // Shortcuts work only for actions of a shown widget; most live in the pop-up menu.
    ui->actionSaveProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ui->actionSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ui->actionOpenProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ui->actionNewProject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    ui->actionQuit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui->actionStartRecording->setShortcut(QKeySequence(Qt::Key_F5));

    m_undoDeleteAction = new QAction(this);
    m_undoDeleteAction->setObjectName(QStringLiteral("actionUndoDelete"));
    m_undoDeleteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_undoDeleteAction->setEnabled(false);
    connect(m_undoDeleteAction, &QAction::triggered, this, &View::undoDelete);
    connect(ui->tabOszi, &TabOszilloscope::undoDeleteRequested, this, &View::undoDelete);

    addActions({ui->actionNewProject, ui->actionOpenProject, ui->actionSaveProject,
                ui->actionSaveAs, ui->actionQuit, ui->actionStartRecording, m_undoDeleteAction});

    m_recentMenu = new QMenu(this);
    m_recentMenu->setObjectName(QStringLiteral("recentProjectsMenu"));
    m_menu->insertMenu(ui->actionSaveProject, m_recentMenu);
    // A stick pulled since the list was made: the entries tell so when they are looked at.
    connect(m_menu, &QMenu::aboutToShow, this, [this] { showRecentProjects(m_recentShown); });
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, [this] {
        if (ui->tabWidget->currentWidget() == ui->tabHome)
            showRecentProjects(m_recentShown);
    });
    m_menu->insertAction(ui->actionSaveProject, m_undoDeleteAction);
    // Beside the other exports, before the separator that ends them.
    const QList<QAction*> entries = m_menu->actions();
    const int settings = entries.indexOf(ui->actionSettings);
    m_menu->insertAction(settings > 0 ? entries.at(settings - 1) : ui->actionSettings,
                         ui->actionSaveTerminal);

    connect(startWidget(), &StartWidget::openLatestFilePressed, this, &View::openRecentProject);
    retranslateMenuAdditions();
}

void View::retranslateMenuAdditions()
{
    m_recentMenu->setTitle(tr("Zuletzt geöffnet"));
    m_undoDeleteAction->setText(tr("Löschen rückgängig"));
    showRecentProjects(m_recentShown);
}

void View::showRecentProjects(const QStringList& paths)
{
    m_recentShown = paths;
    QStringList missing;
    m_recentMenu->clear();
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        const bool gone = !QFileInfo(path).isFile();
        QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path));
        if (gone) {
            missing.append(path);
            text += QStringLiteral(" (") + tr("nicht gefunden") + QLatin1Char(')');
        }
        QAction* action = m_recentMenu->addAction(text);
        action->setData(path);
        if (gone) {
            // Still chosen: choosing it tells why it leaves the list.
            QFont font = action->font();
            font.setItalic(true);
            action->setFont(font);
        }
        connect(action, &QAction::triggered, this, [this, path] { emit openRecentProject(path); });
    }
    m_recentMenu->setEnabled(!paths.isEmpty());
    // The start page lists them the other way round.
    QStringList oldestFirst;
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        oldestFirst.append(*it);
    startWidget()->setLatestFiles(oldestFirst, missing);
}

void View::setUndoDeleteAvailable(bool available)
{
    m_undoDeleteAction->setEnabled(available);
    ui->tabOszi->setUndoDeleteAvailable(available);
}
