#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

#include <memory>

namespace Ui {
class StartWidget;
}

// The home page with the three big start buttons and the latest projects.
class StartWidget : public QWidget
{
    Q_OBJECT

public:
    explicit StartWidget(QWidget* parent = nullptr);
    ~StartWidget() override;

    // Shows the given project paths, the last one first; an empty list shows nothing. The
    // files in missing are shown greyed and can still be chosen, to be told why they go.
    void setLatestFiles(const QStringList& paths, const QStringList& missing = QStringList());

signals:
    void newProject();
    void openProject();
    void importBlackBox();
    void firmwareUpdate();
    void openLatestFilePressed(const QString& file);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    std::unique_ptr<Ui::StartWidget> ui;
    QStringList m_latestFiles;
    QStringList m_missingFiles;
    QList<QLabel*> m_links;
};
