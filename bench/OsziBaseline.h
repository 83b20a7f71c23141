#pragma once

#include "widgets/OsziGeometry.h"
#include "widgets/OsziWidget.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>

// The plot drawn the straightforward way: no cached layers, every grid line, one drawLine
// per visible segment. The benchmark measures the widget against it, and the tests check
// that both give the same pixels for the same state.
class OsziBaseline : public OsziWidget
{
public:
    explicit OsziBaseline(QWidget* parent = nullptr)
        : OsziWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        using namespace OsziGeometry;
        QFrame::paintEvent(event);
        QPainter p(this);
        const Frame f = frame();
        const int th = f.textHeight;
        const int h = f.height;
        const int cw = f.contentsWidth;
        const double min = f.minValue;
        const double max = f.maxValue;
        const double grid = isValueGridAuto() ? autoValueGrid(min, max, f.plotHeight(), nullptr)
                                              : currentValueGrid();
        const QFontMetrics metrics(font());
        const TextWidth width = [&metrics](const QString& text) {
            return metrics.horizontalAdvance(text);
        };
        const int clockGrid =
            isClockGridAuto()
                ? readableClockGrid(f, autoClockGrid(currentClockGrid(), f.zoom, f.clock), width)
                : currentClockGrid();
        const QLocale locale;
        const int decimals = valueDecimals(max - min);
        const auto y = [&](double v) { return valueToY(f, v); };
        const auto label = [&](double v) {
            p.setPen(Qt::black);
            p.drawText(QRect(0, y(v) - th / 2, 56, th), Qt::AlignRight | Qt::AlignVCenter,
                       locale.toString(v, 'f', decimals));
        };

        if (max >= 0) {
            for (int k = 0; k * grid <= max; ++k) {
                p.setPen(k == 0 ? Qt::black : Qt::gray);
                p.drawLine(axisX, y(k * grid), cw + 1, y(k * grid));
                label(k * grid);
            }
        }
        for (int k = 1; - k * grid >= min; ++k) {
            p.setPen(Qt::gray);
            p.drawLine(axisX, y(-k * grid), cw + 1, y(-k * grid));
            label(-k * grid);
        }

        p.setPen(Qt::black);
        p.drawLine(axisX, th, axisX, h - th);
        for (const TimeTick& tick : timeTicks(f, clockGrid, width)) {
            p.setPen(Qt::gray);
            p.drawLine(axisX + tick.offset, th, axisX + tick.offset, h - th);
            if (tick.labelled()) {
                p.setPen(Qt::black);
                p.drawStaticText(QPoint(tick.offset + 67, h - th), QStaticText(timeLabel(tick.ms)));
            }
        }

        const qint64 last = lastVisibleSample(f);
        const auto drawCurve = [&](int i, const QPen& pen) {
            const SampleList* s = curve(i);
            if (!isCurveEnabled(i) || !s || s->isEmpty() || f.startIndex >= s->size() - 1)
                return false;
            p.setPen(pen);
            const double ofs = globalOffset() + channelOffset(i);
            const qint64 end = qMin<qint64>(s->size() - 1, last);
            for (qint64 j = f.startIndex + 1; j <= end; ++j)
                p.drawLine(sampleToX(f, j - 1), y(s->at(int(j - 1)) + ofs), sampleToX(f, j),
                           y(s->at(int(j)) + ofs));
            return true;
        };
        for (int i = 0; i < numCurves; ++i) {
            if (i != highlightedCurve())
                drawCurve(i, QPen(curveColor(i), 1, Qt::SolidLine));
        }
        const int hi = highlightedCurve();
        if (hi >= 0 && hi < numCurves &&
            drawCurve(hi, QPen(highlightPenColor(), 3, Qt::SolidLine))) {
            const SampleList* s = curve(hi);
            if (qMin<qint64>(s->size() - 1, last) == s->size() - 1) {
                const double v = s->constLast() + globalOffset() + channelOffset(hi);
                p.drawText(QPoint(sampleToX(f, s->size() - 1), y(v)),
                           locale.toString(v, 'f', decimals + 1));
            }
        }

        for (int i = 0; i < horizontalLineCount(); ++i) {
            p.setPen(QPen(horizontalLineColor(i), 3, Qt::DashLine));
            p.drawLine(axisX, y(horizontalLineValue(i)), cw + 1, y(horizontalLineValue(i)));
        }
        for (int i = 0; i < verticalMarkerCount(); ++i) {
            const int d = msToOffset(f, verticalMarkerPosition(i));
            if (d > 0) {
                p.setPen(QPen(verticalMarkerColor(i), 3, Qt::DashLine));
                p.drawLine(axisX + d, 0, axisX + d, h - th);
            }
        }
        for (int i = 0; i < verticalMarkerCount(); ++i) {
            const int d = msToOffset(f, verticalMarkerPosition(i));
            if (d <= 0)
                continue;
            const int dp = i > 0 ? msToOffset(f, verticalMarkerPosition(i - 1)) : 0;
            const int right = i == verticalMarkerCount() - 1 ? 169 + dp : 69 + d;
            p.drawText(QRect(QPoint(axisX + dp, 0), QPoint(right, th - 1)), Qt::AlignCenter,
                       phaseName(i));
        }
    }
};
