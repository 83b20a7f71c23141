#include "widgets/flat/FlatScrollBar.h"

#include "widgets/flat/FlatStyle.h"
#include "widgets/flat/FlatTheme.h"

namespace {

QString rgba(const QColor& c)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

} // namespace

FlatScrollBar::FlatScrollBar(QWidget* parent)
    : FlatScrollBar(Qt::Horizontal, parent)
{
}

FlatScrollBar::FlatScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    applyTheme();
}

void FlatScrollBar::applyTheme()
{
    setStyleSheet(styleSheetFor(FlatStyle::instance().theme(), orientation()));
}

QString FlatScrollBar::styleSheetFor(const FlatTheme& theme, Qt::Orientation orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    const QString o = horizontal ? QStringLiteral(":horizontal") : QStringLiteral(":vertical");
    const QString extent = horizontal ? QStringLiteral("height") : QStringLiteral("width");
    const QString along = horizontal ? QStringLiteral("width") : QStringLiteral("height");
    const QString track = rgba(theme.getColor(QStringLiteral("accent2")));
    const QString border = rgba(theme.getColor(QStringLiteral("border")));
    const QString handle = rgba(theme.getColor(QStringLiteral("primary1")));
    const QString disabled = rgba(theme.getColor(QStringLiteral("disabled3")));
    const QString button = rgba(theme.getColor(QStringLiteral("accent3")));
    const QString canvas = rgba(theme.getColor(QStringLiteral("canvas")));

    QString s;
    s += "QScrollBar" + o + " { background: " + track + "; border: 1px solid " + border + "; " +
         extent + ": 30px; margin: " + (horizontal ? "0px 30px 0px 30px" : "30px 0px 30px 0px") +
         "; }";
    s += "QScrollBar::handle" + o + " { background: " + handle + "; min-" + along +
         ": 40px; border: 0px; }";
    s += "QScrollBar::handle" + o + ":disabled { background: " + disabled + "; }";
    s += "QScrollBar::add-page" + o + ", QScrollBar::sub-page" + o + " { background: " + track +
         "; }";
    s += "QScrollBar::add-line" + o + " { background: " + button + "; " + along +
         ": 30px; subcontrol-position: " + (horizontal ? "right" : "bottom") +
         "; subcontrol-origin: margin; border: 0px; }";
    s += "QScrollBar::sub-line" + o + " { background: " + button + "; " + along +
         ": 30px; subcontrol-position: " + (horizontal ? "left" : "top") +
         "; subcontrol-origin: margin; border: 0px; }";
    s += "QScrollBar::left-arrow, QScrollBar::right-arrow, QScrollBar::up-arrow, "
         "QScrollBar::down-arrow { width: 10px; height: 10px; background: " +
         canvas + "; }";
    return s;
}
