#pragma once

#include <QCoreApplication>
#include <QLoggingCategory>

// The readers log every odd value they meet, and fuzz inputs are nothing but odd values:
// formatting those messages would cost more than the parsing. QT_LOGGING_RULES still turns
// them on again for looking into one input.
inline void startQuietApplication()
{
    static int argc = 1;
    static char name[] = "ventaro-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: inputs may still run while static objects go away at exit.
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
}
