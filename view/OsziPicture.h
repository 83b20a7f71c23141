#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>

// The picture of the oscilloscope page as plain functions: which size each plot is drawn at,
// and the five plots stacked under their titles in one image. Nothing here touches a widget.
namespace OsziPicture {

struct Plot
{
    QString title;
    QImage image;
};

// The size to draw each plot at. Plots shown on the page keep their size; hidden ones take
// the size of the first shown plot, or fallback when none is shown (the page never laid out),
// so that a picture holds every sensor at a size the user would see.
QVector<QSize> plotSizes(const QVector<QSize>& current, const QVector<bool>& shown,
                         const QSize& fallback);

// Height of one title row for font.
int titleHeight(const QFont& font);

// The plots one under another, each below a row with its title in font and colour, on white.
// As wide as the widest plot; plots keep their size and device pixel ratio.
QImage compose(const QVector<Plot>& plots, const QFont& font, const QColor& titleColor);

} // namespace OsziPicture
