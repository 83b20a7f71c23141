#pragma once

#include <QColor>
#include <QString>

// Application-wide constants. Colours exist twice: as text for style sheets that are
// concatenated, and as colour objects for painting.

inline const QString colorPrimary = QStringLiteral("#2372A4");
inline const QString colorBlack = QStringLiteral("black");
inline const QString colorDarkGray = QStringLiteral("darkGray");
inline const QString colorGray555 = QStringLiteral("#555555");
inline const QString colorGrayAAA = QStringLiteral("#AAAAAA");
inline const QString colorGrayEEE = QStringLiteral("#EEEEEE");
inline const QString colorWhite = QStringLiteral("white");
// Texts that warn (a problem, a gap, a lost link) and NOK marks.
inline const QString colorProblem = QStringLiteral("#D02121");
inline const QString styleProblemText = QStringLiteral("color: ") + colorProblem + QLatin1Char(';');

inline const QColor qColorPrimary{colorPrimary};
inline const QColor qColorBlack{colorBlack};
inline const QColor qColorDarkGray{colorDarkGray};
inline const QColor qColorGray555{colorGray555};
inline const QColor qColorGrayAAA{colorGrayAAA};
inline const QColor qColorGrayEEE{colorGrayEEE};
inline const QColor qColorWhite{colorWhite};
inline const QColor qColorProblem{colorProblem};

inline const QColor colorRed{Qt::red};
inline const QColor colorDarkRed{Qt::darkRed};
inline const QColor colorDarkGreen{Qt::darkGreen};
inline const QColor colorDarkBlue{Qt::darkBlue};
inline const QColor colorDarkOrange{QStringLiteral("darkorange")};
inline const QColor colorDarkCyan{Qt::darkCyan};

inline const QString appName = QStringLiteral("Ventaro");
inline const QString appVersion = QStringLiteral("7.0");
inline const QString companyName = QStringLiteral("Dornhal");
inline const QString fileVersionText = QStringLiteral("7");

inline const QString settingsOrganization = QStringLiteral("DornhalOrg");
inline const QString settingsApplication = QStringLiteral("Ventaro");
inline const QString settingsKeyMainWindowPos = QStringLiteral("mainwindow_pos");
inline const QString settingsKeyMainWindowSize = QStringLiteral("mainwindow_size");
inline const QString settingsKeyLastDir = QStringLiteral("lastDir");
// The language the user chose ("de", "en"); absent until the first choice, so that the
// first start follows the system.
inline const QString settingsKeyLanguage = QStringLiteral("language");
// The projects opened or saved last, the latest first.
inline const QString settingsKeyRecentFiles = QStringLiteral("recentFiles");
// How many days saved or discarded shots stay in the journal; the plant archive's server
// (a libpq connection string) and this station's name there.
inline const QString settingsKeyJournalDays = QStringLiteral("journalDays");
inline const QString settingsKeyArchive = QStringLiteral("archive");
inline const QString settingsKeyStation = QStringLiteral("station");
// Whether the gaps of a recording are filled from the device's black box once the link is back.
inline const QString settingsKeyAutoBackfill = QStringLiteral("auto_backfill");
constexpr int defaultJournalDays = 14;

inline const QString logoPath = QStringLiteral(":/icons/Dornhal-Logo-small.png");
inline const QString iconPath = QStringLiteral(":/icons/");
