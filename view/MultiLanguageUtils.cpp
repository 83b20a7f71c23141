#include "view/MultiLanguageUtils.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "view/View.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

const QString MultiLanguageUtils::sourceLanguage = QStringLiteral("de");

MultiLanguageUtils::MultiLanguageUtils(View* mainWindow)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
{
}

MultiLanguageUtils::~MultiLanguageUtils()
{
    // A translator must not stay installed after it is destroyed.
    QCoreApplication::removeTranslator(&m_translator);
    QCoreApplication::removeTranslator(&m_qtTranslator);
}

void MultiLanguageUtils::initLanguages(const QString& baseName)
{
    VTRACE();
    m_baseName = baseName;
    m_languagesDirectory = QCoreApplication::applicationDirPath() + QStringLiteral("/languages");
    const QString kept = keptLanguage();
    if (!kept.isEmpty() && kept != m_currentLanguage)
        loadLanguage(kept);
    else
        loadQtTranslation(m_currentLanguage);
}

QString MultiLanguageUtils::keptLanguage()
{
    return QSettings(settingsOrganization, settingsApplication)
        .value(settingsKeyLanguage)
        .toString();
}

void MultiLanguageUtils::chooseLanguage(const QString& language)
{
    QSettings(settingsOrganization, settingsApplication).setValue(settingsKeyLanguage, language);
    loadLanguage(language);
}

void MultiLanguageUtils::followSystemLanguage()
{
    if (keptLanguage().isEmpty())
        loadLanguage(languageOfLocale(QLocale::system().name()));
}

void MultiLanguageUtils::loadQtTranslation(const QString& language)
{
    QCoreApplication::removeTranslator(&m_qtTranslator);
    if (language == QLatin1String("en"))
        return;
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    const QString fileName = QStringLiteral("qtbase_") + language;
    if (!m_qtTranslator.load(fileName, folder)) {
        qCWarning(lcView).noquote() << "Qt's texts stay English: no" << fileName << "in" << folder;
        return;
    }
    QCoreApplication::installTranslator(&m_qtTranslator);
}

QString MultiLanguageUtils::languageOfLocale(const QString& localeName)
{
    const int cut = localeName.lastIndexOf(QLatin1Char('_'));
    return cut < 0 ? localeName : localeName.left(cut);
}

void MultiLanguageUtils::loadLanguage(const QString& language)
{
    VTRACE();
    if (language == m_currentLanguage)
        return;
    m_currentLanguage = language;
    QLocale::setDefault(QLocale(language));
    loadQtTranslation(language);
    if (language == sourceLanguage) {
        // German needs no file: removing the translator brings the source texts back.
        QCoreApplication::removeTranslator(&m_translator);
        qCDebug(lcView) << "OK: translator removed, source language" << language;
        return;
    }
    switchTranslator(m_translator, m_baseName + QStringLiteral("-%1.qm").arg(language));
}

void MultiLanguageUtils::switchTranslator(QTranslator& translator, const QString& fileName)
{
    QCoreApplication::removeTranslator(&translator);
    qCDebug(lcView).noquote() << "Loading translator file " + fileName;
    if (!translator.load(fileName, m_languagesDirectory)) {
        qCWarning(lcView).noquote() << "ERROR: loading translator failed!  filename=" + fileName;
        return;
    }
    if (QCoreApplication::installTranslator(&translator))
        qCDebug(lcView) << "OK: translator installed";
    else
        qCWarning(lcView).noquote()
            << "ERROR: installing translator failed!  filename=" + fileName;
}

QMenu* MultiLanguageUtils::createLanguageMenu(const QString& baseName)
{
    VTRACE();
    m_baseName = baseName;
    if (!m_languageMenu && m_mainWindow)
        m_languageMenu = m_mainWindow->menuBar()->addMenu(tr("Sprache"));
    if (!m_languageMenu)
        return nullptr;

    auto* group = new QActionGroup(m_languageMenu);
    group->setExclusive(true);
    connect(group, &QActionGroup::triggered, this, &MultiLanguageUtils::slotLanguageChanged);

    const QString defaultLanguage = languageOfLocale(QLocale::system().name());
    m_languagesDirectory = QCoreApplication::applicationDirPath() + QStringLiteral("/languages");
    const QDir directory(m_languagesDirectory);
    const QStringList fileNames =
        directory.entryList(QStringList(m_baseName + QStringLiteral("-*.qm")), QDir::Files);
    for (const QString& fileName : fileNames) {
        const int first = fileName.indexOf(QLatin1Char('-'));
        const int last = fileName.lastIndexOf(QLatin1Char('.'));
        const QString code = fileName.mid(first + 1, last - first - 1);
        auto* action = new QAction(QLocale::languageToString(QLocale(code).language()), group);
        action->setIcon(QIcon(QStringLiteral("%1/%2.png").arg(m_languagesDirectory, code)));
        action->setCheckable(true);
        action->setData(code);
        m_languageMenu->addAction(action);
        if (code == defaultLanguage)
            action->setChecked(true);
    }
    return m_languageMenu;
}

void MultiLanguageUtils::slotLanguageChanged(QAction* action)
{
    if (action)
        chooseLanguage(action->data().toString());
}
