#include "widgets/OsziWidget.h"

#include "app/Logging.h"
#include "app/NumberStyle.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStaticText>
#include <QStyle>
#include <QStyleOption>
#include <QThread>

#include <cmath>
#include <future>
#include <system_error>

using namespace OsziGeometry;

namespace {

// Below this many segments a second thread costs more than it saves.
constexpr qint64 parallelSegments = 200000;

struct CurveJob
{
    const OsziWidget::SampleList* samples;
    double offset;
    QColor color;
    qint64 end;
};

// The pixels Qt sets for a one-pixel segment from (x, y) to (x + 1, y + dy): a run of rows
// in column x and one in column x + 1. Learnt once from Qt itself, so that writing them
// directly gives the same picture as drawLine; a step whose pixels do not take that form is
// left to drawLine.
class StepTable
{
public:
    static constexpr int maxStep = 512;

    struct Runs
    {
        bool known = false;
        int firstTop = 0, firstBottom = -1;   // rows relative to y in column x
        int secondTop = 0, secondBottom = -1; // rows relative to y in column x + 1
    };

    static const StepTable& instance()
    {
        static const StepTable table;
        return table;
    }
    const Runs* find(int dy) const
    {
        if (dy < -maxStep || dy > maxStep)
            return nullptr;
        const Runs& runs = m_runs[static_cast<size_t>(dy + maxStep)];
        return runs.known ? &runs : nullptr;
    }

private:
    StepTable()
        : m_runs(2 * maxStep + 1)
    {
        const int y0 = maxStep + 2;
        QImage image(4, 2 * maxStep + 5, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        p.setClipRect(image.rect());
        for (int dy = -maxStep; dy <= maxStep; ++dy) {
            image.fill(Qt::white);
            p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
            p.drawLine(1, y0, 2, y0 + dy);
            Runs& runs = m_runs[static_cast<size_t>(dy + maxStep)];
            runs.known = columnRun(image, 1, y0, dy, &runs.firstTop, &runs.firstBottom) &&
                         columnRun(image, 2, y0, dy, &runs.secondTop, &runs.secondBottom) &&
                         columnRun(image, 0, y0, dy, nullptr, nullptr) &&
                         columnRun(image, 3, y0, dy, nullptr, nullptr);
        }
    }

    // Finds the one contiguous run of black pixels in a column; without out-parameters the
    // column must be empty. A line never strays further than this from its end points.
    static bool columnRun(const QImage& image, int x, int y0, int dy, int* top, int* bottom)
    {
        const int from = qMax(0, qMin(y0, y0 + dy) - 3);
        const int to = qMin(image.height() - 1, qMax(y0, y0 + dy) + 3);
        int first = -1;
        int last = -2;
        for (int y = from; y <= to; ++y) {
            if (reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] != qRgb(0, 0, 0))
                continue;
            if (first >= 0 && y != last + 1)
                return false;
            if (first < 0)
                first = y;
            last = y;
        }
        if (!top)
            return first < 0;
        *top = first < 0 ? 0 : first - y0;
        *bottom = first < 0 ? -1 : last - y0;
        return true;
    }

    std::vector<Runs> m_runs;
};

// One-pixel curves. At one pixel per sample every segment is one step of the table above,
// written straight into the image; otherwise, and for steps that leave the image, Qt draws
// integer polylines, which with an explicit clip rectangle it does on its fast path, pixel
// for pixel like one drawLine per segment.
void drawCurves(QPainter& p, QImage& image, const Frame& f, const CurveJob* jobs, size_t count)
{
    const ValueMapper toY(f);
    const bool direct = f.zoom == 1 && image.devicePixelRatio() == 1.0 &&
                        image.format() == QImage::Format_ARGB32_Premultiplied;
    const StepTable& table = StepTable::instance();
    const int width = image.width();
    const int height = image.height();
    const qsizetype stride = image.bytesPerLine() / 4;
    QRgb* bits = direct ? reinterpret_cast<QRgb*>(image.bits()) : nullptr;
    QPolygon points;
    for (size_t c = 0; c < count; ++c) {
        const CurveJob& job = jobs[c];
        const double* samples = job.samples->constData();
        const int n = static_cast<int>(job.end - f.startIndex + 1);
        const QPen pen(job.color, 1, Qt::SolidLine);
        if (direct && job.color.alpha() == 255) {
            const QRgb rgb = job.color.rgba();
            int x = axisX;
            int y = toY(samples[f.startIndex] + job.offset);
            for (int k = 1; k < n; ++k, ++x) {
                const int next = toY(samples[f.startIndex + k] + job.offset);
                const StepTable::Runs* runs = table.find(next - y);
                if (runs && y >= 0 && y < height && next >= 0 && next < height && x >= 0 &&
                    x + 1 < width) {
                    for (int r = runs->firstTop; r <= runs->firstBottom; ++r)
                        bits[(y + r) * stride + x] = rgb;
                    for (int r = runs->secondTop; r <= runs->secondBottom; ++r)
                        bits[(y + r) * stride + x + 1] = rgb;
                } else {
                    p.setPen(pen);
                    p.drawLine(x, y, x + 1, next);
                }
                y = next;
            }
            continue;
        }
        points.resize(n);
        QPoint* out = points.data();
        // A horizontal run is drawn as one segment: the same pixels, far fewer segments.
        int m = 0;
        int x = axisX;
        for (int k = 0; k < n; ++k, x += f.zoom) {
            const int y = toY(samples[f.startIndex + k] + job.offset);
            if (m >= 2 && out[m - 1].y() == y && out[m - 2].y() == y)
                out[m - 1].rx() = x;
            else
                out[m++] = QPoint(x, y);
        }
        p.setPen(pen);
        p.drawPolyline(out, m);
    }
}

QImage newLayer(const QSize& size, qreal dpr)
{
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

} // namespace

bool OsziWidget::BaseKey::operator==(const BaseKey& o) const
{
    return size == o.size && dpr == o.dpr && frame.height == o.frame.height &&
           frame.textHeight == o.frame.textHeight && frame.contentsWidth == o.frame.contentsWidth &&
           frame.minValue == o.frame.minValue && frame.maxValue == o.frame.maxValue &&
           frame.startIndex == o.frame.startIndex && frame.zoom == o.frame.zoom &&
           frame.clock == o.frame.clock && valueGrid == o.valueGrid && clockGrid == o.clockGrid &&
           offset == o.offset && highlightIndex == o.highlightIndex &&
           curveRevision == o.curveRevision && styleRevision == o.styleRevision;
}

OsziWidget::OsziWidget(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    // Not marked as painting every pixel itself (WA_OpaquePaintEvent): on X11 a plot scrolled
    // half out of the oscilloscope page's scroll area then painted its hidden part over the
    // time row below it. Qt's fill of the background before each paint costs little.
    curveColors.fill(QColor(Qt::black));

    QPixmap line(2, 800);
    line.fill(Qt::red);
    markerLine = new QLabel(this);
    markerLine->setPixmap(line);
    markerLine->resize(2, 800);
    markerLine->hide();
    markerValueLabel = new QLabel(QStringLiteral("OOOOOOOOO"), this);
    markerValueLabel->setStyleSheet(
        QStringLiteral("QLabel { color: red;          background: rgba(255, 255, 255, 128);   "
                       "      font-size:16px;}"));
    markerValueLabel->adjustSize();
    markerValueLabel->hide();

    clearCurves();
    textHeight = static_cast<int>(QStaticText(QStringLiteral("ABCgj")).size().height()) + 2;
}

OsziWidget::~OsziWidget() = default;

// --- curves

void OsziWidget::curvesChanged()
{
    ++m_curveRevision;
    update();
}

void OsziWidget::setCurve(int index, const SampleList* samples, QColor color)
{
    if (!validCurve(index))
        return;
    const size_t i = static_cast<size_t>(index);
    if (curves[i] == samples && curveEnabled[i] && curveColors[i] == color)
        return;
    curves[i] = samples;
    curveEnabled[i] = true;
    curveColors[i] = color;
    if (samples)
        m_usedSlots = qMax(m_usedSlots, index + 1);
    curvesChanged();
}

void OsziWidget::clearCurves()
{
    curves.fill(nullptr);
    curveEnabled.fill(false);
    curveColors.fill(QColor(Qt::black));
    channelOffsets.fill(0.0);
    highlightIndex = -1;
    m_usedSlots = 0;
    m_highlightDrawnList = nullptr;
    curvesChanged();
}

const OsziWidget::SampleList* OsziWidget::curve(int index) const
{
    return validCurve(index) ? curves[static_cast<size_t>(index)] : nullptr;
}

bool OsziWidget::isCurveEnabled(int index) const
{
    return validCurve(index) && curveEnabled[static_cast<size_t>(index)];
}

QColor OsziWidget::curveColor(int index) const
{
    return validCurve(index) ? curveColors[static_cast<size_t>(index)] : QColor();
}

double OsziWidget::channelOffset(int index) const
{
    return validCurve(index) ? channelOffsets[static_cast<size_t>(index)] : 0.0;
}

int OsziWidget::lastSampleIndex() const
{
    int last = -1;
    bool found = false;
    for (int i = 0; i < m_usedSlots; ++i) {
        const SampleList* samples = curves[static_cast<size_t>(i)];
        if (!samples || !curveEnabled[static_cast<size_t>(i)])
            continue;
        last = found ? qMax(last, samples->size() - 1) : samples->size() - 1;
        found = true;
    }
    return last;
}

void OsziWidget::setEnabled(int channel, bool state)
{
    if (!validCurve(channel) || curveEnabled[static_cast<size_t>(channel)] == state)
        return;
    curveEnabled[static_cast<size_t>(channel)] = state;
    curvesChanged();
}

void OsziWidget::setDisabled(int channel)
{
    setEnabled(channel, false);
}

void OsziWidget::setAllEnabled(bool state)
{
    curveEnabled.fill(state);
    curvesChanged();
}

void OsziWidget::setChannelOffset(int channel, double ofs)
{
    if (!validCurve(channel) || channelOffsets[static_cast<size_t>(channel)] == ofs)
        return;
    channelOffsets[static_cast<size_t>(channel)] = ofs;
    curvesChanged();
}

void OsziWidget::clearChannelOffsets()
{
    channelOffsets.fill(0.0);
    curvesChanged();
}

void OsziWidget::setAutoChannelOffsets(int pos)
{
    for (int i = 0; i < numCurves; ++i)
        setAutoChannelOffset(i, pos);
}

void OsziWidget::setAutoChannelOffset(int channel, int pos)
{
    if (!validCurve(channel))
        return;
    const SampleList* samples = curves[static_cast<size_t>(channel)];
    const int j = pos / clock;
    if (samples && j >= 0 && j < samples->size())
        setChannelOffset(channel, -samples->at(j));
}

void OsziWidget::highlightSingle(int index)
{
    if (highlightIndex == index)
        return;
    highlightIndex = index;
    update();
}

void OsziWidget::setHighlightColor(QColor col)
{
    if (highlightColor == col)
        return;
    highlightColor = col;
    update();
}

// --- range, grids, time axis

void OsziWidget::setStartIndex(int start)
{
    if (startIndex == start)
        return;
    startIndex = start;
    update();
}

void OsziWidget::setMinValue(double min)
{
    qCDebug(lcWidgets).noquote() << "void OsziWidget::setMinValue(double)"
                                 << "min=" << min;
    if (!(min < maxValue - 0.0001))
        return;
    qCDebug(lcWidgets) << "OK";
    minValue = min;
    update();
}

void OsziWidget::setMaxValue(double max)
{
    qCDebug(lcWidgets).noquote() << "void OsziWidget::setMaxValue(double)"
                                 << "max=" << max;
    if (!(max > minValue + 0.0001))
        return;
    qCDebug(lcWidgets) << "OK";
    maxValue = max;
    update();
}

void OsziWidget::setValueRange(double min, double max)
{
    minValue = min;
    maxValue = max;
    update();
}

void OsziWidget::setValueGrid(double grid)
{
    // A grid that is not positive would never reach the end of the range.
    if (!(grid > 0.0) || grid == valueGrid)
        return;
    valueGrid = grid;
    update();
}

void OsziWidget::setValueGridAuto(bool on)
{
    valueGridAuto = on;
    if (on)
        valueGrid = 1.0;
    update();
}

void OsziWidget::setZoom(int zoom)
{
    if (zoom < 1 || this->zoom == zoom)
        return;
    this->zoom = zoom;
    update();
    emit zoomChanged(zoom);
}

int OsziWidget::fitZoom() const
{
    return OsziGeometry::fitZoom(frame(), lastSampleIndex());
}

void OsziWidget::setZoomToFit(bool on)
{
    m_zoomToFit = on;
    update();
}

void OsziWidget::setZoom(double zoom)
{
    // Written as a negation so that NaN is refused as well.
    if (!(zoom >= 1.0))
        return;
    setZoom(static_cast<int>(qMin(zoom, 1.0e6)));
}

void OsziWidget::setClock(int clk)
{
    if (clk < 1 || clock == clk)
        return;
    clock = clk;
    update();
}

void OsziWidget::setClockGrid(int grid)
{
    if (grid < clock || clockGrid == grid)
        return;
    clockGrid = grid;
    update();
}

void OsziWidget::setClockGridAuto(bool on)
{
    clockGridAuto = on;
    update();
}

void OsziWidget::setOffset(double ofs)
{
    if (offset == ofs)
        return;
    offset = ofs;
    update();
}

// --- markers and lines

void OsziWidget::setVerticalMarkerCount(int n)
{
    n = qMax(0, n);
    while (verticalMarkers.size() < n) {
        verticalMarkers.append(-1);
        verticalMarkerColors.append(QColor(Qt::black));
        phaseNames.append(QString());
    }
    while (verticalMarkers.size() > n) {
        verticalMarkers.removeLast();
        verticalMarkerColors.removeLast();
        phaseNames.removeLast();
    }
    update();
}

void OsziWidget::setVerticalMarker(int index, int pos, QColor color)
{
    if (index < 0 || index >= verticalMarkers.size()) {
        qCWarning(lcWidgets).noquote() << "void OsziWidget::setVerticalMarker(int, int, QColor)"
                                       << " ERROR: index out of range!";
        return;
    }
    verticalMarkers[index] = pos;
    verticalMarkerColors[index] = color;
    update();
}

void OsziWidget::setVerticalMarker0(int pos)
{
    if (verticalMarkers.size() > 0) {
        verticalMarkers[0] = pos;
        update();
    }
}

void OsziWidget::setVerticalMarker1(int pos)
{
    if (verticalMarkers.size() > 1) {
        verticalMarkers[1] = pos;
        update();
    }
}

void OsziWidget::setVerticalMarker2(int pos)
{
    if (verticalMarkers.size() > 2) {
        verticalMarkers[2] = pos;
        update();
    }
}

void OsziWidget::setVerticalMarker3(int pos)
{
    if (verticalMarkers.size() > 3) {
        verticalMarkers[3] = pos;
        update();
    }
}

void OsziWidget::setPhaseName(int phase, QString name)
{
    if (phase < 0 || phase >= phaseNames.size())
        return;
    phaseNames[phase] = name;
    update();
}

void OsziWidget::setHorizontalLineCount(int n)
{
    n = qMax(0, n);
    while (horizontalLines.size() < n) {
        horizontalLines.append(0.0);
        horizontalLineColors.append(QColor(Qt::black));
    }
    while (horizontalLines.size() > n) {
        horizontalLines.removeLast();
        horizontalLineColors.removeLast();
    }
    update();
}

void OsziWidget::setHorizontalLineColor(int index, QColor color)
{
    if (index >= 0 && index < horizontalLineColors.size())
        horizontalLineColors[index] = color;
}

void OsziWidget::setHorizontalLine(int index, double value)
{
    if (index < 0 || index >= horizontalLines.size())
        return;
    horizontalLines[index] = value;
    update();
}

// --- mouse read-out

void OsziWidget::showMouseMarker(int x)
{
    VTRACE();
    if (!validCurve(highlightIndex))
        return;
    const Frame f = frame();
    const qint64 j = (static_cast<qint64>(x) - axisX) / zoom + startIndex;
    const SampleList* samples = curves[static_cast<size_t>(highlightIndex)];
    if (j < 0 || !samples || j >= samples->size()) {
        hideMouseMarker();
        return;
    }
    const double v = samples->at(static_cast<int>(j)) + offset +
                     channelOffsets[static_cast<size_t>(highlightIndex)];
    const int y = valueToY(f, v);
    markerLine->move(x, y - 400);
    markerLine->show();
    markerValueLabel->move(x + 10, y - (markerValueLabel->height() - 1) - 11);
    markerValueLabel->setText(NumberStyle::general(v));
    markerValueLabel->show();
}

void OsziWidget::hideMouseMarker()
{
    VTRACE();
    markerLine->hide();
    markerValueLabel->hide();
}

void OsziWidget::mousePressEvent(QMouseEvent* event)
{
    VTRACE();
    if (event->button() == Qt::LeftButton) {
        m_draggedCursor = cursorNear(event->localPos().x());
        if (m_draggedCursor >= 0)
            setCursor(Qt::SizeHorCursor);
    }
    emit mouseAtX(qRound(event->localPos().x()));
}

void OsziWidget::mouseReleaseEvent(QMouseEvent* event)
{
    VTRACE();
    Q_UNUSED(event)
    if (m_draggedCursor >= 0) {
        m_draggedCursor = -1;
        unsetCursor();
    }
    emit mouseReleased();
}

void OsziWidget::mouseMoveEvent(QMouseEvent* event)
{
    VTRACE();
    if (m_draggedCursor >= 0 && m_cursors[static_cast<size_t>(m_draggedCursor)]) {
        // Not before the start of a shot, where no shot has a value.
        const double ms = qMax(0.0, xToMs(frame(), event->localPos().x()));
        if (ms != *m_cursors[static_cast<size_t>(m_draggedCursor)]) {
            m_cursors[static_cast<size_t>(m_draggedCursor)] = ms;
            update();
            emit cursorDragged(m_draggedCursor, ms);
        }
    }
    emit mouseAtX(qRound(event->localPos().x()));
}

// --- measurement cursors

void OsziWidget::setCursors(std::optional<double> aMs, std::optional<double> bMs)
{
    if (m_cursors[0] == aMs && m_cursors[1] == bMs)
        return;
    m_cursors = {aMs, bMs};
    // A cursor switched off under the mouse is let go.
    if (m_draggedCursor >= 0 && !m_cursors[static_cast<size_t>(m_draggedCursor)]) {
        m_draggedCursor = -1;
        unsetCursor();
    }
    update();
}

int OsziWidget::cursorNear(double x) const
{
    const Frame f = frame();
    int nearest = -1;
    double best = cursorGrabDistance + 0.5;
    for (int c = 0; c < 2; ++c) {
        const auto& ms = m_cursors[static_cast<size_t>(c)];
        if (!ms)
            continue;
        const double d = std::abs(msToX(f, *ms) - x);
        if (d < best) {
            best = d;
            nearest = c;
        }
    }
    return nearest;
}

void OsziWidget::paintCursors(QPainter& p, const Frame& f)
{
    static const std::array<QColor, 2> colors = {QColor(0x8e, 0x24, 0xaa), QColor(0x00, 0x79, 0x6b)};
    static const std::array<QString, 2> names = {QStringLiteral("A"), QStringLiteral("B")};
    const int th = textHeight;
    for (size_t c = 0; c < 2; ++c) {
        if (!m_cursors[c])
            continue;
        const double x = msToX(f, *m_cursors[c]);
        if (x < axisX || x > f.contentsWidth + 1)
            continue;
        const int xi = qRound(x);
        p.setPen(QPen(colors[c], 2, Qt::SolidLine));
        p.drawLine(xi, th, xi, f.bottom());
        // The name at the top of the plot area, clear of the phase names in the band above,
        // right of the line where there is room.
        const QRect box(xi + 3, th, th * 2, th);
        p.drawText(box.right() > f.contentsWidth ? box.translated(-th * 2 - 6, 0) : box,
                   Qt::AlignLeft | Qt::AlignVCenter, names[c]);
    }
}

// --- painting

Frame OsziWidget::frame() const
{
    Frame f;
    f.height = height();
    f.textHeight = textHeight;
    f.contentsWidth = contentsRect().width() - 1;
    f.minValue = minValue;
    f.maxValue = maxValue;
    f.startIndex = startIndex;
    f.zoom = zoom;
    f.clock = clock;
    return f;
}

void OsziWidget::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        ++m_styleRevision;
        update();
        break;
    default:
        break;
    }
    QFrame::changeEvent(event);
}

void OsziWidget::runAutoGrids(const Frame& f)
{
    if (valueGridAuto) {
        bool stepped = false;
        valueGrid = autoValueGrid(minValue, maxValue, f.plotHeight(), &stepped);
        if (stepped)
            emit valueGridChanged(valueGrid);
    }
    if (clockGridAuto) {
        // The label check measures text; during a recording the same view asks again 60
        // times a second, so the last answer is kept.
        const TimeGridKey key{clockGrid,    f.zoom,          f.clock,
                              f.startIndex, f.contentsWidth, m_styleRevision};
        if (!(key == m_timeGridKey)) {
            const QFontMetrics metrics(font());
            const int grid = readableClockGrid(
                f, autoClockGrid(clockGrid, zoom, clock),
                [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
            clockGrid = grid;
            m_timeGridKey = key;
            m_timeGridKey.clockGrid = grid;
        }
        // Announced whenever the step in use differs from the one last announced, also when
        // a new start value (setClockGrid) led back to itself.
        if (clockGrid != m_announcedClockGrid) {
            m_announcedClockGrid = clockGrid;
            emit clockGridChanged(clockGrid);
        }
    }
}

qint64 OsziWidget::drawnEnd(int index, const Frame& f) const
{
    const size_t i = static_cast<size_t>(index);
    const SampleList* samples = curves[i];
    if (!curveEnabled[i] || !samples || samples->isEmpty() || startIndex >= samples->size() - 1)
        return -1;
    return qMin<qint64>(samples->size() - 1, lastVisibleSample(f));
}

bool OsziWidget::baseIsCurrent(const BaseKey& key, const Frame& f) const
{
    if (!m_baseValid || !(key == m_baseKey))
        return false;
    // Samples appended to a cached curve change the picture only where they are visible.
    for (int i = 0; i < m_usedSlots; ++i) {
        if (i != highlightIndex && drawnEnd(i, f) != m_baseEnds[static_cast<size_t>(i)])
            return false;
    }
    return true;
}

void OsziWidget::paintEvent(QPaintEvent* event)
{
    if (width() <= 0 || height() <= 0)
        return;
    // Fitted where it is drawn: curves, size and start index are all known here.
    if (m_zoomToFit) {
        const int fitted = fitZoom();
        if (fitted != zoom) {
            zoom = fitted;
            emit zoomChanged(zoom);
        }
    }
    const Frame f = frame();
    runAutoGrids(f);

    BaseKey key;
    key.size = size();
    key.dpr = devicePixelRatioF();
    key.frame = f;
    key.valueGrid = valueGrid;
    key.clockGrid = clockGrid;
    key.offset = offset;
    key.highlightIndex = highlightIndex;
    key.curveRevision = m_curveRevision;
    key.styleRevision = m_styleRevision;
    if (!baseIsCurrent(key, f))
        renderBase(key, f);
    renderHighlight(f);

    QPainter p(this);
    const qreal dpr = m_highlightLayer.devicePixelRatio();
    for (const QRect& r : event->region())
        p.drawImage(QRectF(r), m_highlightLayer,
                    QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    paintOverlays(p, f);
    paintCursors(p, f);
}

void OsziWidget::renderBase(const BaseKey& key, const Frame& f)
{
    if (m_base.size() != key.size * key.dpr || m_base.devicePixelRatio() != key.dpr)
        m_base = newLayer(key.size, key.dpr);
    m_baseKey = key;
    m_baseValid = true;
    ++m_baseGeneration;

    QPainter p(&m_base);
    p.setFont(font());
    // The background as Qt would fill it before a paint event, then the frame.
    p.fillRect(rect(), palette().brush(QPalette::Window));
    if (autoFillBackground())
        p.fillRect(rect(), palette().brush(backgroundRole()));
    if (testAttribute(Qt::WA_StyledBackground)) {
        QStyleOption option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
    }
    drawFrame(&p);
    paintGridAndLabels(p, f);

    // The curves below the highlighted one, in slot order.
    m_baseEnds.assign(static_cast<size_t>(m_usedSlots), -1);
    std::vector<CurveJob> jobs;
    qint64 segments = 0;
    bool opaque = true;
    for (int i = 0; i < m_usedSlots; ++i) {
        if (i == highlightIndex)
            continue;
        const qint64 end = drawnEnd(i, f);
        m_baseEnds[static_cast<size_t>(i)] = end;
        if (end < 0)
            continue;
        const size_t s = static_cast<size_t>(i);
        jobs.push_back({curves[s], offset + channelOffsets[s], curveColors[s], end});
        segments += end - startIndex;
        opaque = opaque && curveColors[s].alpha() == 255;
    }
    if (jobs.empty())
        return;

    p.setClipRect(rect());
    StepTable::instance();
    // Opaque one-pixel lines either cover a pixel or leave it, so the later half of the
    // curves may be drawn on another core into a layer of its own and laid on top.
    if (segments < parallelSegments || !opaque || QThread::idealThreadCount() < 2) {
        drawCurves(p, m_base, f, jobs.data(), jobs.size());
        return;
    }
    size_t split = 0;
    for (qint64 half = 0; split < jobs.size() && half < segments / 2; ++split)
        half += jobs[split].end - startIndex;
    QImage upper = newLayer(key.size, key.dpr);
    upper.fill(Qt::transparent);
    const QRect clip = rect();
    std::future<void> worker;
    try {
        worker = std::async(std::launch::async, [&upper, &f, &jobs, split, clip] {
            QPainter q(&upper);
            q.setClipRect(clip);
            drawCurves(q, upper, f, jobs.data() + split, jobs.size() - split);
        });
    } catch (const std::system_error&) {
        // No thread to be had: this thread draws all of it.
        drawCurves(p, m_base, f, jobs.data(), jobs.size());
        return;
    }
    drawCurves(p, m_base, f, jobs.data(), split);
    worker.get();
    p.setClipping(false);
    p.drawImage(0, 0, upper);
}

void OsziWidget::paintGridAndLabels(QPainter& p, const Frame& f)
{
    const int th = textHeight;
    const int h = f.height;
    const int cw = f.contentsWidth;
    const QLocale locale = NumberStyle::locale();
    const int decimals = valueDecimals(maxValue - minValue);
    const ValueMapper toY(f);

    const auto gridLine = [&](double v, const QColor& color) {
        const int y = toY(v);
        p.setPen(color);
        p.drawLine(axisX, y, cw + 1, y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - th / 2, 56, th), Qt::AlignRight | Qt::AlignVCenter,
                   locale.toString(v, 'f', decimals));
    };
    // Only lines whose label can reach the widget are drawn, and a grid finer than a pixel
    // is left out: either would otherwise take millions of lines for a fixed grid that does
    // not suit the range.
    const double margin = 2.0 * th + 2.0;
    const double top =
        minValue + (maxValue - minValue) * (h - th + margin) / qMax(1, f.plotHeight());
    const double bottom =
        minValue - (maxValue - minValue) * (th + margin) / qMax(1, f.plotHeight());
    const double pixelsPerLine = valueGrid / (maxValue - minValue) * f.plotHeight();
    const bool drawable = std::isfinite(pixelsPerLine) && pixelsPerLine >= 1.0;
    if (maxValue >= 0) {
        const double firstK = drawable ? qMax(0.0, std::floor(bottom / valueGrid) - 1.0) : 0.0;
        for (double k = firstK;; k += 1.0) {
            const double v = k * valueGrid;
            if (!(v <= maxValue) || (!drawable && k > 0) || v > top)
                break;
            gridLine(v, v == 0 ? QColor(Qt::black) : QColor(Qt::gray));
        }
    }
    if (drawable) {
        const double firstK = qMax(1.0, std::floor(-top / valueGrid) - 1.0);
        for (double k = firstK;; k += 1.0) {
            const double v = -k * valueGrid;
            if (!(v >= minValue) || v < bottom)
                break;
            gridLine(v, Qt::gray);
        }
    }

    p.setPen(Qt::black);
    p.drawLine(axisX, th, axisX, h - th);
    const QFontMetrics metrics(p.font());
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    for (const TimeTick& tick : timeTicks(f, clockGrid, width)) {
        const int d = tick.offset;
        p.setPen(Qt::gray);
        p.drawLine(axisX + d, th, axisX + d, h - th);
        if (tick.labelled()) {
            p.setPen(Qt::black);
            p.drawStaticText(QPoint(d + axisX - timeLabelLead, h - th),
                             QStaticText(timeLabel(tick.ms)));
        }
    }
}

void OsziWidget::renderHighlight(const Frame& f)
{
    const SampleList* samples =
        validCurve(highlightIndex) ? curves[static_cast<size_t>(highlightIndex)] : nullptr;
    qint64 end = -1;
    if (samples) {
        const bool enabled = curveEnabled[static_cast<size_t>(highlightIndex)];
        if (enabled && !samples->isEmpty() && startIndex < samples->size() - 1)
            end = qMin<qint64>(samples->size() - 1, lastVisibleSample(f));
    }
    // Appended samples only add segments at the end; drawing those on top of the earlier
    // ones gives the same pixels as drawing the whole curve.
    const bool grows = m_highlightGeneration == m_baseGeneration &&
                       m_highlightDrawnIndex == highlightIndex && m_highlightDrawnList == samples &&
                       m_highlightDrawnColor == highlightColor && end >= m_highlightDrawnEnd;
    qint64 from = startIndex + 1;
    if (grows) {
        if (end == m_highlightDrawnEnd)
            return;
        from = qMax<qint64>(from, m_highlightDrawnEnd + 1);
    } else {
        m_highlightLayer = m_base;
        m_highlightLayer.detach();
        m_highlightGeneration = m_baseGeneration;
        m_highlightDrawnIndex = highlightIndex;
        m_highlightDrawnList = samples;
        m_highlightDrawnColor = highlightColor;
    }
    m_highlightDrawnEnd = end;
    if (end < 0)
        return;

    QPainter p(&m_highlightLayer);
    p.setClipRect(rect());
    p.setPen(QPen(highlightColor, 3, Qt::SolidLine));
    const ValueMapper toY(f);
    const double* data = samples->constData();
    const double ofs = offset + channelOffsets[static_cast<size_t>(highlightIndex)];
    for (qint64 j = from; j <= end; ++j)
        p.drawLine(sampleToX(f, j - 1), toY(data[j - 1] + ofs), sampleToX(f, j),
                   toY(data[j] + ofs));
}

void OsziWidget::paintOverlays(QPainter& p, const Frame& f)
{
    const int th = textHeight;
    const int h = f.height;
    const ValueMapper toY(f);

    // The value of the highlighted curve's last sample, when that sample is in view.
    const SampleList* samples = m_highlightDrawnList;
    if (samples && m_highlightDrawnEnd >= 0 && m_highlightDrawnEnd == samples->size() - 1) {
        const double v =
            samples->constLast() + offset + channelOffsets[static_cast<size_t>(highlightIndex)];
        const int decimals = valueDecimals(maxValue - minValue) + 1;
        p.setPen(QPen(highlightColor, 3, Qt::SolidLine));
        p.drawText(QPoint(sampleToX(f, m_highlightDrawnEnd), toY(v)),
                   NumberStyle::fixed(v, decimals));
    }

    for (int i = 0; i < horizontalLines.size(); ++i) {
        p.setPen(QPen(horizontalLineColors.at(i), 3, Qt::DashLine));
        const int y = toY(horizontalLines.at(i));
        p.drawLine(axisX, y, f.contentsWidth + 1, y);
    }

    for (int i = 0; i < verticalMarkers.size(); ++i) {
        const int d = msToOffset(f, verticalMarkers.at(i));
        if (d <= 0)
            continue;
        p.setPen(QPen(verticalMarkerColors.at(i), 3, Qt::DashLine));
        p.drawLine(axisX + d, 0, axisX + d, h - th);
    }

    // Each phase name sits between the previous marker (or the axis) and its own marker;
    // the last one in a box 100 pixels wide. The pen is the one the markers left.
    for (int i = 0; i < verticalMarkers.size(); ++i) {
        const int d = msToOffset(f, verticalMarkers.at(i));
        if (d <= 0)
            continue;
        const int dp = i > 0 ? msToOffset(f, verticalMarkers.at(i - 1)) : 0;
        const bool last = i == verticalMarkers.size() - 1;
        const QRect box(QPoint(axisX + dp, 0), QPoint(last ? 169 + dp : 69 + d, th - 1));
        p.drawText(box, Qt::AlignCenter, phaseNames.at(i));
    }
}
