#pragma once

#include "report/ReportContent.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <functional>

// Writes a report's content as a PDF on A4 portrait in the current language: the project, the
// settings its figures rest on, the results, the pictures, with "Seite n von m", the program's
// name and version and the time of writing in every footer. Charts are drawn by the painters
// the pages use, as vectors; text stays selectable. Beside the PDF goes the full list of NOK
// shots as CSV where a verdict exists. Both are written through QSaveFile: a failure leaves
// no half-written file. Needs a QGuiApplication (fonts); runs in any thread.
class ReportWriter
{
    Q_DECLARE_TR_FUNCTIONS(ReportWriter)

public:
    struct Result
    {
        bool ok = false;
        // In the current language, naming the file.
        QString error;
        int pages = 0;
        // The NOK list written beside the PDF; empty without a verdict.
        QString csvPath;
    };

    static Result write(const ReportContent& content, const QString& pdfPath,
                        const QDateTime& writtenAt, const std::function<void(int)>& progress = {});
    // "lot.pdf" -> "lot-NOK.csv" in the same folder.
    static QString csvPathFor(const QString& pdfPath);
};
