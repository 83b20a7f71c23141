#include "view/StartWidget.h"

#include "app/Constants.h"
#include "ui_StartWidget.h"

#include <QEvent>

StartWidget::StartWidget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::StartWidget>())
{
    ui->setupUi(this);
    ui->companyLabel->setPixmap(QPixmap(logoPath));
    ui->buttonNewProject->setIcon(QIcon(QStringLiteral(":/new.png")));
    ui->buttonOpenProject->setIcon(QIcon(QStringLiteral(":/open.png")));
    const QString buttonStyle =
        QStringLiteral("QPushButton {    border: 0px solid #999;    border-radius: 3px;    "
                       "padding: 0px;    color: ") +
        colorWhite + QStringLiteral(";    background-color: ") + colorPrimary +
        QStringLiteral(";    font-size: 18px;    min-height:100px;    min-width: 200px;}"
                       "QPushButton:pressed {    background-color: ") +
        colorGray555 +
        QStringLiteral(";}QPushButton:disabled {    color: #CCC;    background-color: gray; }");
    for (QPushButton* button :
         {ui->buttonNewProject, ui->buttonOpenProject, ui->buttonImportBlackBox})
        button->setStyleSheet(buttonStyle);
    ui->welcomeLabel->setStyleSheet(QStringLiteral("QLabel { color: ") + colorPrimary +
                                    QStringLiteral("; font-size: 32px; }"));
    retranslate();

    connect(ui->buttonNewProject, &QPushButton::clicked, this, &StartWidget::newProject);
    connect(ui->buttonOpenProject, &QPushButton::clicked, this, &StartWidget::openProject);
    connect(ui->buttonImportBlackBox, &QPushButton::clicked, this, &StartWidget::importBlackBox);
}

StartWidget::~StartWidget() = default;

void StartWidget::retranslate()
{
    ui->welcomeLabel->setText(tr("Willkommen bei ") + appName);
}

void StartWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
        setLatestFiles(m_latestFiles, m_missingFiles);
    }
    QWidget::changeEvent(event);
}

void StartWidget::setLatestFiles(const QStringList& paths, const QStringList& missing)
{
    // Later: the list is often set again from a click on one of its own links.
    for (QLabel* old : qAsConst(m_links)) {
        old->hide();
        old->deleteLater();
    }
    m_links.clear();
    m_latestFiles = paths;
    m_missingFiles = missing;
    if (paths.isEmpty()) {
        ui->lastFilesLabel->clear();
        return;
    }
    ui->lastFilesLabel->setText(QStringLiteral("<b>Latest projects:</b>"));
    for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
        const QString path = *it;
        QString text = QStringLiteral("<a href=\"") + path.toHtmlEscaped() + QStringLiteral("\">") +
                       path.toHtmlEscaped() + QStringLiteral("</a>");
        if (missing.contains(path))
            text = QStringLiteral("<a style=\"color: gray\" href=\"") + path.toHtmlEscaped() +
                   QStringLiteral("\">") + path.toHtmlEscaped() + QStringLiteral("</a> <i>(") +
                   tr("nicht gefunden").toHtmlEscaped() + QStringLiteral(")</i>");
        auto* label = new QLabel(text, ui->latestFilesWidget);
        label->setObjectName(QStringLiteral("latestFileLabel"));
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(label, &QLabel::linkActivated, this, [this, path] { emit openLatestFilePressed(path); });
        ui->latestFilesWidget->layout()->addWidget(label);
        m_links.append(label);
    }
}
