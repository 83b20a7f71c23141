#include "control/ScpProblemBox.h"

#include <QGuiApplication>
#include <QMessageBox>

void ScpProblemBox::show(const ScpTransfer::Problem& problem)
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (problem.isEmpty())
        return;
    QMessageBox::warning(nullptr, problem.title, problem.text);
}
