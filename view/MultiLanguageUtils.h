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

    // Also loads the language kept from the last run, if the user ever chose one.
    void initLanguages(const QString& baseName);
    void loadLanguage(const QString& language);
    // The user's choice: loaded and kept for the next start.
    void chooseLanguage(const QString& language);
    // A change of the system's locale: followed only while the user has chosen nothing.
    void followSystemLanguage();
    // The language kept from an earlier choice, or empty.
    static QString keptLanguage();
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
    // Qt's own texts (file dialogs, standard buttons, context menus) from the distribution's
    // translations; Qt's texts are English without them.
    void loadQtTranslation(const QString& language);

    View* m_mainWindow = nullptr;
    QMenu* m_languageMenu = nullptr;
    QString m_baseName;
    QString m_languagesDirectory;
    QTranslator m_translator;
    QTranslator m_qtTranslator;
    QString m_currentLanguage = sourceLanguage;
};
