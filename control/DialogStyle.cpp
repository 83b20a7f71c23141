#include "control/DialogStyle.h"

#include "app/Constants.h"

#include <QColor>

QString dialogButtonStyle()
{
    return QStringLiteral("QPushButton {     border: 0px solid #999;    border-radius: 3px;    "
                          "padding:   0px;    color: ") +
           QColor(colorWhite).name() + QStringLiteral(";    background-color: ") +
           QColor(colorPrimary).name() +
           QStringLiteral(";    min-height:30px;    min-width: 150px;}");
}
