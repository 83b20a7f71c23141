#pragma once

#include <QObject>
#include <QString>
#include <QTranslator>

class QAction;
class QMenu;
class View;

// Loads and installs the translation of the user interface at run time. The interface is
// written in German; other languages come from "<base>-<code>.qm" in the folder "languages"
// beside the executable. Installing or removing a translator makes Qt send the
// language-change event on which the windows retranslate themselves.
class MultiLanguageUtils : public QObject
{
    Q_OBJECT

public:
    // The language the texts are written in; it needs no translation file.
    static const QString sourceLanguage;

    explicit MultiLanguageUtils(View* mainWindow);
    ~MultiLanguageUtils() override;

    void initLanguages(const QString& baseName);
    void loadLanguage(const QString& language);
    // A menu of every translation found in the languages folder, in the main window's menu bar.
    QMenu* createLanguageMenu(const QString& baseName);

    QString currentLanguage() const { return m_currentLanguage; }
    QString languagesDirectory() const { return m_languagesDirectory; }
    // "de_DE" -> "de": the locale name up to its last "_".
    static QString languageOfLocale(const QString& localeName);

public slots:
    void slotLanguageChanged(QAction* action);

private:
    void switchTranslator(QTranslator& translator, const QString& fileName);

    View* m_mainWindow = nullptr;
    QMenu* m_languageMenu = nullptr;
    QString m_baseName;
    QString m_languagesDirectory;
    QTranslator m_translator;
    QString m_currentLanguage = sourceLanguage;
};
