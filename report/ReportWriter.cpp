#include "report/ReportWriter.h"

#include "app/CommandOutput.h"
#include "app/Constants.h"
#include "app/NumberStyle.h"
#include "charts/BoxWhiskersPainter.h"
#include "charts/ControlChartPainter.h"
#include "charts/CurvePlot.h"
#include "charts/Fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

// One device pixel is one screen pixel at 96 dpi: the painters' pixel sizes look on paper as
// they do on screen.
constexpr int resolution = 96;
constexpr double marginMm = 18.0;
constexpr double gap = 10.0;

QString esc(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString num(double value)
{
    return std::isfinite(value) ? NumberStyle::general(value) : QStringLiteral("–");
}

QString timeText(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString();
}

QString sensorTitle(const ReportInput& in, int s)
{
    const QString name = in.sensors[static_cast<size_t>(s)].name;
    const QString number = ReportWriter::tr("Sensor %1").arg(s + 1);
    return name.isEmpty() || name == number ? number : number + QStringLiteral(": ") + name;
}

// A table as HTML: a bold header row on grey, then the rows; cells are escaped.
QString table(const QStringList& header, const QVector<QStringList>& rows,
              const QVector<int>& widthsPercent = {})
{
    QString html =
        QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\">");
    if (!header.isEmpty()) {
        html += QStringLiteral("<tr>");
        for (int i = 0; i < header.size(); ++i) {
            const QString width = i < widthsPercent.size()
                                      ? QStringLiteral(" width=\"%1%\"").arg(widthsPercent.at(i))
                                      : QString();
            html += QStringLiteral("<th align=\"left\" bgcolor=\"#e6e6e6\"%1>%2</th>")
                        .arg(width, esc(header.at(i)));
        }
        html += QStringLiteral("</tr>");
    }
    for (int r = 0; r < rows.size(); ++r) {
        html += r % 2 ? QStringLiteral("<tr bgcolor=\"#f5f5f5\">") : QStringLiteral("<tr>");
        for (const QString& cell : rows.at(r))
            html += QStringLiteral("<td>%1</td>").arg(esc(cell));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// Key and value pairs as a two-column table without header.
QString pairs(const QVector<QStringList>& rows)
{
    QString html =
        QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" border=\"0\">");
    for (const QStringList& row : rows)
        html += QStringLiteral("<tr><td width=\"32%\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(esc(row.value(0)), esc(row.value(1)));
    return html + QStringLiteral("</table>");
}

// The pages of the report being laid out. The layout runs twice: once without a painter to
// count the pages for "Seite n von m", then to draw them; both runs take the same decisions.
class Pages
{
public:
    Pages(QPdfWriter& writer, QPainter* painter, int total, QString footer)
        : m_writer(writer)
        , m_painter(painter)
        , m_total(total)
        , m_footer(std::move(footer))
    {
        const QRect page = writer.pageLayout().paintRectPixels(resolution);
        m_left = 0.0;
        m_top = 0.0;
        m_width = page.width();
        m_footerHeight = 28.0;
        m_bottom = page.height() - m_footerHeight;
        m_y = m_top;
        m_font = QFont(Fonts::family());
        m_font.setPointSizeF(9.0);
        m_font.setHintingPreference(QFont::PreferNoHinting);
        if (m_painter)
            m_painter->setFont(m_font);
    }

    QPainter* painter() const { return m_painter; }
    QPdfWriter& writer() const { return m_writer; }
    const QFont& font() const { return m_font; }
    double width() const { return m_width; }
    double left() const { return m_left; }
    double remaining() const { return m_bottom - m_y; }
    double pageHeight() const { return m_bottom - m_top; }
    int page() const { return m_page; }
    bool atTop() const { return m_y <= m_top; }

    // A rectangle of the full width and the given height below what is laid out, on the next
    // page when it does not fit on this one.
    QRectF take(double height)
    {
        if (m_y + height > m_bottom && !atTop())
            newPage();
        const QRectF r(m_left, m_y, m_width, height);
        m_y += height;
        return r;
    }
    void skip(double height) { m_y = std::min(m_bottom, m_y + height); }

    void newPage()
    {
        drawFooter();
        if (m_painter)
            m_writer.newPage();
        ++m_page;
        m_y = m_top;
    }
    void finish() { drawFooter(); }

    // A document laid out at the PDF's resolution in the report's font.
    std::unique_ptr<QTextDocument> document(const QString& html, double width,
                                            double pointSize = 9.0) const
    {
        auto doc = std::make_unique<QTextDocument>();
        doc->documentLayout()->setPaintDevice(&m_writer);
        QFont f = m_font;
        f.setPointSizeF(pointSize);
        doc->setDefaultFont(f);
        doc->setDocumentMargin(0);
        doc->setHtml(html);
        doc->setTextWidth(width);
        return doc;
    }

    // Lays out html over the full width; keepWith: height that must follow on the same page
    // (a heading keeps its first lines).
    void text(const QString& html, double pointSize = 9.0, double keepWith = 0.0)
    {
        const auto doc = document(html, m_width, pointSize);
        const double h = doc->size().height();
        if (m_y + h + keepWith > m_bottom && !atTop())
            newPage();
        const QRectF r = take(h + 4.0);
        draw(*doc, r.topLeft());
    }

    void draw(QTextDocument& doc, const QPointF& at) const
    {
        if (!m_painter)
            return;
        m_painter->save();
        m_painter->translate(at);
        doc.drawContents(m_painter);
        m_painter->restore();
    }

private:
    void drawFooter()
    {
        if (!m_painter)
            return;
        QPainter& p = *m_painter;
        p.save();
        QFont f = m_font;
        f.setPointSizeF(7.5);
        p.setFont(f);
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.8));
        const double y = m_bottom + 8.0;
        p.drawLine(QPointF(m_left, y), QPointF(m_left + m_width, y));
        p.setPen(QColor(0x40, 0x40, 0x40));
        const QRectF r(m_left, y + 3.0, m_width, m_footerHeight - 11.0);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, m_footer);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter,
                   ReportWriter::tr("Seite %1 von %2").arg(m_page).arg(m_total));
        p.restore();
    }

    QPdfWriter& m_writer;
    QPainter* m_painter;
    int m_total;
    QString m_footer;
    QFont m_font;
    double m_left = 0.0;
    double m_top = 0.0;
    double m_width = 0.0;
    double m_bottom = 0.0;
    double m_footerHeight = 0.0;
    double m_y = 0.0;
    int m_page = 1;
};

void heading(Pages& pages, const QString& text, int level, double keepWith)
{
    const double size = level == 0 ? 16.0 : level == 1 ? 13.0 : 10.5;
    if (level == 1)
        pages.skip(6.0);
    pages.text(QStringLiteral("<b>%1</b>").arg(esc(text)), size, keepWith);
}

void note(Pages& pages, const QString& text)
{
    pages.text(QStringLiteral("<i>%1</i>").arg(esc(text)));
}

// ---------------------------------------------------------------------------------------------

// A record with gaps says so: where the link was down, what the device made meanwhile, and
// what of it the project holds.
void gapsSection(Pages& pages, const ReportInput& in)
{
    heading(pages, ReportWriter::tr("Lücken in der Aufnahme"), 2, 60.0);
    QVector<QStringList> rows;
    int unfilled = 0;
    for (int g = 0; g < in.gaps.size(); ++g) {
        const RecordingGap& gap = in.gaps.at(g);
        unfilled += gap.isFilled() ? 0 : 1;
        rows.append(
            {QString::number(g + 1), timeText(gap.from),
             gap.isOpen() ? ReportWriter::tr("offen") : timeText(gap.to),
             gap.deviceShots < 0 ? ReportWriter::tr("unbekannt") : QString::number(gap.deviceShots),
             QString::number(gap.filled)});
    }
    pages.text(table({ReportWriter::tr("Nr."), ReportWriter::tr("Von"), ReportWriter::tr("Bis"),
                      ReportWriter::tr("Messungen des Geräts"), ReportWriter::tr("im Projekt")},
                     rows));
    note(pages, (unfilled > 0 ? ReportWriter::tr("%1 von %2 Lücken sind nicht gefüllt: dem Projekt "
                                                 "können Messungen des Geräts fehlen.")
                                    .arg(unfilled)
                                    .arg(in.gaps.size())
                              : ReportWriter::tr("Alle Lücken sind gefüllt.")) +
                    QLatin1Char(' ') +
                    ReportWriter::tr("Messungen aus der Black Box: %1.").arg(in.blackBoxShots));
}

void projectSection(Pages& pages, const ReportContent& c)
{
    const ReportInput& in = c.input;
    const ProjectData& p = in.project;
    heading(pages,
            ReportWriter::tr("Prüfbericht: %1")
                .arg(p.name.isEmpty() ? QFileInfo(in.projectPath).completeBaseName() : p.name),
            0, 0.0);
    heading(pages, ReportWriter::tr("1 Projekt"), 1, 120.0);
    QVector<QStringList> rows = {
        {ReportWriter::tr("Projektname"), p.name},
        {ReportWriter::tr("Projektnummer"), p.number},
        {ReportWriter::tr("Kunde"), p.customer},
        {ReportWriter::tr("Bearbeiter"), p.user},
        {ReportWriter::tr("Datum"), p.date},
        {ReportWriter::tr("Projektdatei"),
         in.projectPath.isEmpty() ? ReportWriter::tr("noch nicht gespeichert") : in.projectPath},
        {ReportWriter::tr("Schließkraft"), QStringLiteral("%1 kN").arg(p.closingForce)},
        {ReportWriter::tr("Einspritzzeit"), QStringLiteral("%1 s").arg(num(p.injectionTime))},
        {ReportWriter::tr("Nachdruckzeit"), QStringLiteral("%1 s").arg(num(p.pressTime))},
        {ReportWriter::tr("Einspritzdruck"), QStringLiteral("%1 bar").arg(p.pressure)},
        {ReportWriter::tr("Kommentar"), in.comment},
        {ReportWriter::tr("Gerätetyp"), QString::number(in.deviceType)},
        {ReportWriter::tr("Hardware-Version"), in.hardwareVersion},
        {ReportWriter::tr("Software-Version"), in.softwareVersion},
        {ReportWriter::tr("Firmware-Version"), in.firmwareVersion},
        {ReportWriter::tr("Abtastzeit"),
         in.clockMs > 0 ? QStringLiteral("%1 ms").arg(in.clockMs) : ReportWriter::tr("unbekannt")},
        {ReportWriter::tr("Anzahl Messungen"), QString::number(in.shotCount)},
        {ReportWriter::tr("Erste Messung"), timeText(c.firstShot)},
        {ReportWriter::tr("Letzte Messung"), timeText(c.lastShot)},
    };
    pages.text(pairs(rows));
    if (in.shotCount == 0)
        note(pages, ReportWriter::tr("Das Projekt enthält keine Messungen."));
    else if (c.shotsWithoutTime == in.shotCount)
        note(pages, ReportWriter::tr("Die Messungen tragen keine Zeitstempel."));
    else if (c.shotsWithoutTime > 0)
        note(pages,
             ReportWriter::tr("%1 Messungen tragen keinen Zeitstempel.").arg(c.shotsWithoutTime));

    if (!in.gaps.isEmpty())
        gapsSection(pages, in);

    heading(pages, ReportWriter::tr("Sensoren"), 2, 60.0);
    QVector<QStringList> sensors;
    QStringList empty;
    for (int s = 0; s < ReportInput::numSensors; ++s) {
        const ReportInput::Sensor& sensor = in.sensors[static_cast<size_t>(s)];
        sensors.append({QString::number(s + 1), sensor.name, sensor.type, sensor.unit,
                        QStringLiteral("%1 … %2").arg(num(sensor.rangeMin), num(sensor.rangeMax)),
                        num(sensor.offset), QString::number(sensor.shots.size())});
        if (sensor.shots.isEmpty())
            empty << QString::number(s + 1);
    }
    pages.text(table({ReportWriter::tr("Nr."), ReportWriter::tr("Name"), ReportWriter::tr("Typ"),
                      ReportWriter::tr("Einheit"), ReportWriter::tr("Bereich"),
                      ReportWriter::tr("Offset"), ReportWriter::tr("Messungen")},
                     sensors));
    if (!empty.isEmpty() && in.shotCount > 0)
        note(pages,
             ReportWriter::tr("Ohne Messungen: Sensor %1.").arg(empty.join(QStringLiteral(", "))));

    heading(pages, ReportWriter::tr("Marker und Phasen"), 2, 60.0);
    QVector<QStringList> markers;
    for (int i = 0; i < ProjectData::numMarkers; ++i)
        markers.append(
            {ReportWriter::tr("Marker %1").arg(i + 1),
             QStringLiteral("%1 s").arg(num(p.markers[static_cast<size_t>(i)] / 1000.0))});
    for (int i = 0; i < ProjectData::numPhases; ++i)
        markers.append(
            {ReportWriter::tr("Phase %1").arg(i + 1), p.phaseNames[static_cast<size_t>(i)]});
    pages.text(pairs(markers));
}

QString rangesText(const QVector<int>& shots)
{
    QStringList parts;
    for (int i = 0; i < shots.size();) {
        int j = i;
        while (j + 1 < shots.size() && shots.at(j + 1) == shots.at(j) + 1)
            ++j;
        parts << (i == j ? QString::number(shots.at(i))
                         : QStringLiteral("%1-%2").arg(shots.at(i)).arg(shots.at(j)));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

void settingsSection(Pages& pages, const ReportContent& c)
{
    const ReportInput& in = c.input;
    heading(pages, ReportWriter::tr("2 Einstellungen"), 1, 120.0);
    heading(pages, ReportWriter::tr("Auswertung"), 2, 60.0);
    pages.text(pairs({
        {ReportWriter::tr("Maxima zwischen den Markern"),
         QStringLiteral("%1 s … %2 s")
             .arg(num(in.valuesLeftMs / 1000.0), num(in.valuesRightMs / 1000.0))},
        {ReportWriter::tr("Laufzeit: Sensor"), sensorTitle(in, in.runtimeSensor)},
        {ReportWriter::tr("Laufzeit: Startwert"), num(c.startValue)},
        {ReportWriter::tr("Laufzeit: Stoppwert"), num(c.stopValue)},
    }));

    heading(pages, ReportWriter::tr("Referenz"), 2, 60.0);
    if (!in.reference) {
        note(pages, ReportWriter::tr("Es ist keine Referenz eingelernt."));
    } else {
        const ReferenceData& r = *in.reference;
        QStringList tolerances;
        for (int s = 0; s < ReferenceData::numSensors; ++s) {
            if (r.sensors[static_cast<size_t>(s)].mean.isEmpty())
                continue;
            const QString unit = in.sensors[static_cast<size_t>(s)].unit;
            tolerances << ReportWriter::tr("Sensor %1: %2 %3")
                              .arg(s + 1)
                              .arg(num(r.valueTolerance[static_cast<size_t>(s)]), unit)
                              .trimmed();
        }
        const QString part = r.part == ReferenceData::Part::WholeShot
                                 ? ReportWriter::tr("ganze Messung")
                                 : ReportWriter::tr("zwischen Marker %1 und Marker %2")
                                       .arg(r.fromMarker + 1)
                                       .arg(r.toMarker + 1);
        pages.text(pairs({
            {ReportWriter::tr("Eingelernt aus"),
             ReportWriter::tr("%1 Messungen (%2)").arg(r.shotCount).arg(rangesText(r.taughtShots))},
            {ReportWriter::tr("Abtastzeit der Referenz"),
             QStringLiteral("%1 ms").arg(num(r.clockMs))},
            {ReportWriter::tr("Werttoleranz"), tolerances.join(QStringLiteral("; "))},
            {ReportWriter::tr("Zeittoleranz"), QStringLiteral("%1 ms").arg(num(r.timeToleranceMs))},
            {ReportWriter::tr("Mindestdauer außerhalb"),
             QStringLiteral("%1 ms").arg(num(r.minDurationMs))},
            {ReportWriter::tr("Überwacht"), part},
        }));
        if (!c.verdictProblem.isEmpty())
            note(pages, c.verdictProblem);
    }

    heading(pages, ReportWriter::tr("SPC"), 2, 60.0);
    QStringList rules;
    for (int k = 0; k < SpcSettings::numRules; ++k)
        if (in.spc.rules[static_cast<size_t>(k)])
            rules << QString::number(k + 1);
    const SpcSettings::Limits limits = in.spc.limits.value(c.spcKey);
    const auto limitText = [](const std::optional<double>& v) {
        return v ? num(*v) : ReportWriter::tr("keine");
    };
    pages.text(pairs({
        {ReportWriter::tr("Wert"), c.spcName},
        {ReportWriter::tr("Basis der Eingriffsgrenzen"),
         in.spc.base.isEmpty() || c.spcBaseUnreadable ? ReportWriter::tr("alle Messungen")
                                                      : in.spc.base},
        {ReportWriter::tr("Regeln"),
         rules.isEmpty() ? ReportWriter::tr("keine") : rules.join(QStringLiteral(", "))},
        {ReportWriter::tr("Obere Toleranzgrenze (OSG)"), limitText(limits.usl)},
        {ReportWriter::tr("Untere Toleranzgrenze (USG)"), limitText(limits.lsl)},
    }));
}

QStringList fiveCells(const ReportContent::Summary& s)
{
    if (s.sorted.isEmpty())
        return {QString(), QString(), QString(), QString(), QString(), QStringLiteral("0")};
    return {num(s.five.minimum),       num(s.five.lowerQuartile), num(s.five.median),
            num(s.five.upperQuartile), num(s.five.maximum),       QString::number(s.sorted.size())};
}

// The chart's range: the sensor's range where the description gives one, else the values'.
std::pair<double, double> chartRange(double lo, double hi, const QList<double>& sorted)
{
    if (hi > lo)
        return {lo, hi};
    if (sorted.isEmpty())
        return {0.0, 1.0};
    const double span = std::max(sorted.last() - sorted.first(), 1e-9);
    return {sorted.first() - 0.1 * span, sorted.last() + 0.1 * span};
}

void resultsSection(Pages& pages, const ReportContent& c)
{
    const ReportInput& in = c.input;
    heading(pages, ReportWriter::tr("3 Ergebnisse"), 1, 160.0);
    heading(pages, ReportWriter::tr("Maxima zwischen den Markern"), 2, 120.0);
    const QStringList fiveHeader = {ReportWriter::tr("Minimum"), ReportWriter::tr("1. Quartil"),
                                    ReportWriter::tr("Median"),  ReportWriter::tr("3. Quartil"),
                                    ReportWriter::tr("Maximum"), ReportWriter::tr("Anzahl")};
    QVector<QStringList> rows;
    for (int s = 0; s < ReportInput::numSensors; ++s)
        rows.append(QStringList{sensorTitle(in, s)} + fiveCells(c.maxima[static_cast<size_t>(s)]));
    pages.text(table(QStringList{ReportWriter::tr("Sensor")} + fiveHeader, rows));
    if (in.shotCount > 0) {
        const double chartHeight = 220.0;
        const QRectF area = pages.take(chartHeight + 24.0);
        if (QPainter* p = pages.painter()) {
            const double w = area.width() / ReportInput::numSensors;
            for (int s = 0; s < ReportInput::numSensors; ++s) {
                const ReportContent::Summary& m = c.maxima[static_cast<size_t>(s)];
                const ReportInput::Sensor& sensor = in.sensors[static_cast<size_t>(s)];
                const QRectF cell(area.left() + s * w, area.top(), w, area.height());
                p->setPen(Qt::black);
                p->drawText(QRectF(cell.left(), cell.top(), cell.width(), 18.0),
                            Qt::AlignHCenter | Qt::AlignVCenter,
                            ReportWriter::tr("Sensor %1").arg(s + 1));
                BoxWhiskersStyle style;
                style.vertical = true;
                style.marginLeft = 20;
                style.marginRight = 50;
                style.marginTop = 5;
                style.marginBottom = 5;
                style.boxColor = sensor.color;
                const auto range = chartRange(sensor.rangeMin, sensor.rangeMax, m.sorted);
                const QRect chart(
                    static_cast<int>(cell.left() + 4.0), static_cast<int>(cell.top() + 22.0),
                    static_cast<int>(cell.width() - 8.0), static_cast<int>(chartHeight));
                BoxWhiskersPainter::paint(*p, chart, m.sorted, range.first, range.second, style);
            }
        }
    }

    heading(pages, ReportWriter::tr("Laufzeiten von %1").arg(sensorTitle(in, in.runtimeSensor)), 2,
            120.0);
    const QString names[] = {ReportWriter::tr("Start [s]"), ReportWriter::tr("Dauer [s]"),
                             ReportWriter::tr("Stop [s]")};
    rows.clear();
    for (int k = 0; k < 3; ++k)
        rows.append(QStringList{names[k]} + fiveCells(c.runtimes[static_cast<size_t>(k)]));
    pages.text(table(QStringList{ReportWriter::tr("Laufzeit")} + fiveHeader, rows));
    if (in.shotCount > 0) {
        const QRectF area = pages.take(3 * 46.0 + 6.0);
        if (QPainter* p = pages.painter()) {
            for (int k = 0; k < 3; ++k) {
                const ReportContent::Summary& r = c.runtimes[static_cast<size_t>(k)];
                const QRectF row(area.left(), area.top() + k * 46.0, area.width(), 44.0);
                p->setPen(Qt::black);
                p->drawText(QRectF(row.left(), row.top(), 90.0, row.height()),
                            Qt::AlignLeft | Qt::AlignVCenter, names[k]);
                BoxWhiskersStyle style;
                style.boxColor = in.sensors[static_cast<size_t>(in.runtimeSensor)].color;
                BoxWhiskersPainter::paint(
                    *p,
                    QRect(static_cast<int>(row.left() + 90.0), static_cast<int>(row.top()),
                          static_cast<int>(row.width() - 90.0), static_cast<int>(row.height())),
                    r.sorted, 0.0, std::max(c.longestShotSeconds, 1e-9), style);
            }
        }
    }
}

void verdictSection(Pages& pages, const ReportContent& c, const QString& csvName)
{
    heading(pages, ReportWriter::tr("Bewertung gegen die Referenz"), 2, 80.0);
    if (!c.hasVerdicts) {
        note(pages, c.input.reference
                        ? c.verdictProblem
                        : ReportWriter::tr("Ohne eingelernte Referenz gibt es keine Bewertung."));
        return;
    }
    pages.text(pairs({{ReportWriter::tr("OK"), QString::number(c.okCount)},
                      {ReportWriter::tr("NOK"), QString::number(c.nokCount)}}));
    if (c.nokShots.isEmpty())
        return;
    const QStringList header = {ReportWriter::tr("Messung"), ReportWriter::tr("Zeit"),
                                ReportWriter::tr("Erste Verletzung")};
    const QVector<int> widths = {10, 22, 68};
    const auto rowsOf = [&](int count) {
        QVector<QStringList> rows;
        for (int i = 0; i < count; ++i) {
            const ReportContent::NokShot& n = c.nokShots.at(i);
            rows.append({QString::number(n.shot + 1), timeText(n.time), n.violation});
        }
        return rows;
    };
    const QString more = ReportWriter::tr("… und %1 weitere; die vollständige Liste steht in %2.");
    const auto heightOf = [&](int count) {
        QString html = table(header, rowsOf(count), widths);
        if (count < c.nokShots.size())
            html += QStringLiteral("<p>%1</p>")
                        .arg(esc(more.arg(c.nokShots.size() - count).arg(csvName)));
        return pages.document(html, pages.width())->size().height() + 4.0;
    };
    // The whole list where it fits here; else as much as one page holds, on a page of its own.
    int count = c.nokShots.size();
    if (heightOf(count) > pages.remaining()) {
        if (!pages.atTop())
            pages.newPage();
        int lo = 0;
        int hi = count;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (heightOf(mid) <= pages.pageHeight())
                lo = mid;
            else
                hi = mid - 1;
        }
        count = lo;
    }
    QString html = table(header, rowsOf(count), widths);
    if (count < c.nokShots.size())
        html +=
            QStringLiteral("<p>%1</p>").arg(esc(more.arg(c.nokShots.size() - count).arg(csvName)));
    else
        html += QStringLiteral("<p>%1</p>")
                    .arg(esc(ReportWriter::tr("Die Liste steht auch in %1.").arg(csvName)));
    pages.text(html);
}

QString indexText(const std::optional<double>& v)
{
    return v ? NumberStyle::fixed(*v, 3) : QStringLiteral("–");
}

void spcSection(Pages& pages, const ReportContent& c)
{
    heading(pages, ReportWriter::tr("SPC: %1").arg(c.spcName), 2, 300.0);
    if (c.spcValues.isEmpty()) {
        note(pages,
             c.spcKey == QLatin1String("deviation")
                 ? ReportWriter::tr("Ohne Bewertung gibt es keine Abweichungen.")
             : c.spcKey.startsWith(QLatin1String("cursor:"))
                 ? ReportWriter::tr("Cursor-Werte gibt es nur, solange die Cursor im Oszilloskop "
                                    "gesetzt sind.")
                 : ReportWriter::tr("Keine Werte."));
        return;
    }
    if (!c.spc.ok) {
        note(pages, c.spc.error);
        return;
    }
    if (c.spcBaseUnreadable)
        note(pages, ReportWriter::tr("Basis „%1“ ist kein Bereich; es gelten alle Messungen.")
                        .arg(c.input.spc.base));
    const QRectF area = pages.take(230.0);
    if (QPainter* p = pages.painter()) {
        ControlChartData data;
        data.values = c.spcValues;
        data.marks = c.spcMarks;
        data.centre = c.spc.mean;
        data.upper = c.spc.ucl;
        data.lower = c.spc.lcl;
        data.title = ReportWriter::tr("Einzelwerte");
        const ControlChartPainter chart(data, area.adjusted(0, 0, 0, -6), QFontMetricsF(p->font()));
        chart.paint(*p, Qt::white, Qt::black);
    }
    int marked = 0;
    for (const QString& m : c.spcMarks)
        marked += m.isEmpty() ? 0 : 1;
    pages.text(pairs({
        {ReportWriter::tr("n (Basis)"), QString::number(c.spc.n)},
        {ReportWriter::tr("Mittelwert"), num(c.spc.mean)},
        {ReportWriter::tr("σ innerhalb"), num(c.spc.sigmaWithin)},
        {ReportWriter::tr("σ gesamt"), num(c.spc.sigmaOverall)},
        {ReportWriter::tr("Obere Eingriffsgrenze (OEG)"), num(c.spc.ucl)},
        {ReportWriter::tr("Untere Eingriffsgrenze (UEG)"), num(c.spc.lcl)},
        {QStringLiteral("Cp / Cpk"),
         QStringLiteral("%1 / %2").arg(indexText(c.spc.cp), indexText(c.spc.cpk))},
        {QStringLiteral("Pp / Ppk"),
         QStringLiteral("%1 / %2").arg(indexText(c.spc.pp), indexText(c.spc.ppk))},
        {ReportWriter::tr("Messungen mit Regelverletzung"), QString::number(marked)},
    }));
}

std::pair<double, double> envelopeRange(const QVector<const ColumnEnvelope*>& envelopes)
{
    double lo = std::nan("");
    double hi = std::nan("");
    for (const ColumnEnvelope* e : envelopes) {
        for (int i = 0; i < e->columns(); ++i) {
            if (std::isnan(e->lower.at(i)))
                continue;
            lo = std::isnan(lo) ? e->lower.at(i) : std::min(lo, e->lower.at(i));
            hi = std::isnan(hi) ? e->upper.at(i) : std::max(hi, e->upper.at(i));
        }
    }
    if (std::isnan(lo))
        return {0.0, 1.0};
    const double span = std::max(hi - lo, 1e-9);
    return {lo - 0.05 * span, hi + 0.05 * span};
}

QVector<double> markerTimes(const ProjectData& p)
{
    QVector<double> ms;
    for (const int m : p.markers)
        ms.append(m);
    return ms;
}

QColor light(const QColor& color)
{
    QColor c = color;
    c.setAlpha(90);
    return c;
}

void picturesSection(Pages& pages, const ReportContent& c)
{
    const ReportInput& in = c.input;
    constexpr double plotHeight = 270.0;
    heading(pages, ReportWriter::tr("4 Bilder"), 1, plotHeight + 40.0);
    heading(pages, ReportWriter::tr("Überlagerung aller Messungen"), 2, plotHeight);
    const QStringList phases(in.project.phaseNames.cbegin(), in.project.phaseNames.cend());
    bool any = false;
    for (int s = 0; s < ReportInput::numSensors; ++s) {
        const ReportContent::Overlay& o = c.overlays[static_cast<size_t>(s)];
        if (o.all.isEmpty())
            continue;
        any = true;
        const ReportInput::Sensor& sensor = in.sensors[static_cast<size_t>(s)];
        const QRectF area = pages.take(plotHeight + gap);
        if (QPainter* p = pages.painter()) {
            CurvePlotAxes axes;
            axes.fromMs = 0.0;
            axes.toMs = o.toMs;
            // The sensor's range as the pages show it, unless the shots fill less than a
            // tenth of it: a picture of flat lines documents nothing.
            const auto data = envelopeRange({&o.all});
            const auto range =
                sensor.rangeMax > sensor.rangeMin &&
                        (data.second - data.first) * 10.0 >= sensor.rangeMax - sensor.rangeMin
                    ? std::make_pair(sensor.rangeMin, sensor.rangeMax)
                    : data;
            axes.valueMin = range.first;
            axes.valueMax = range.second;
            axes.unit = sensor.unit;
            axes.title =
                o.nok.isEmpty()
                    ? ReportWriter::tr("%1: %2 Messungen").arg(sensorTitle(in, s)).arg(o.shots)
                    : ReportWriter::tr("%1: %2 Messungen, NOK rot")
                          .arg(sensorTitle(in, s))
                          .arg(o.shots);
            const CurvePlot plot(area.adjusted(0, 0, 0, -gap), axes, QFontMetricsF(p->font()));
            plot.paintFrame(*p);
            plot.paintMarkers(*p, markerTimes(in.project), phases, QColor(qColorPrimary));
            plot.paintArea(*p, o.all, light(sensor.color));
            plot.paintLine(*p, o.all, sensor.color, 0.8);
            for (const ColumnEnvelope& nok : o.nok)
                plot.paintLine(*p, nok, Qt::red, 1.0);
        }
    }
    if (!any)
        note(pages, ReportWriter::tr("Keine Messungen."));

    bool bands = false;
    for (const ReportContent::Band& b : c.bands)
        bands = bands || b.taught;
    if (!bands)
        return;
    heading(pages, ReportWriter::tr("Referenzband mit der schlechtesten Messung"), 2, plotHeight);
    for (int s = 0; s < ReportInput::numSensors; ++s) {
        const ReportContent::Band& b = c.bands[static_cast<size_t>(s)];
        if (!b.taught)
            continue;
        const ReportInput::Sensor& sensor = in.sensors[static_cast<size_t>(s)];
        QString caption;
        if (b.worstShot < 0)
            caption = ReportWriter::tr("Keine Messung dieses Sensors.");
        else if (b.distance > 0)
            caption =
                ReportWriter::tr("Schlechteste Messung: Nr. %1, bis %2 %3 außerhalb des Bandes.")
                    .arg(b.worstShot + 1)
                    .arg(num(b.distance), sensor.unit);
        else
            caption =
                ReportWriter::tr("Alle Messungen liegen im Band; der Grenze am nächsten: Nr. %1.")
                    .arg(b.worstShot + 1);
        const QRectF area = pages.take(plotHeight + gap);
        if (QPainter* p = pages.painter()) {
            CurvePlotAxes axes;
            axes.toMs = b.toMs;
            const auto range = envelopeRange({&b.limits, &b.worst});
            axes.valueMin = range.first;
            axes.valueMax = range.second;
            axes.unit = sensor.unit;
            axes.title = sensorTitle(in, s) + QStringLiteral(" – ") + caption;
            const CurvePlot plot(area.adjusted(0, 0, 0, -gap), axes, QFontMetricsF(p->font()));
            plot.paintFrame(*p);
            plot.paintMarkers(*p, markerTimes(in.project), phases, QColor(qColorPrimary));
            // The band over the shot, translucent, so that neither hides the other.
            if (!b.worst.isEmpty())
                plot.paintLine(*p, b.worst, b.distance > 0 ? QColor(Qt::red) : QColor(Qt::darkGray),
                               1.0);
            plot.paintArea(*p, b.limits, QColor(0x2e, 0x7d, 0x32, 150));
        }
    }
}

void layOut(Pages& pages, const ReportContent& c, const QString& csvName,
            const std::function<void(int)>& progress)
{
    projectSection(pages, c);
    settingsSection(pages, c);
    if (progress)
        progress(30);
    pages.newPage();
    resultsSection(pages, c);
    verdictSection(pages, c, csvName);
    spcSection(pages, c);
    if (progress)
        progress(60);
    pages.newPage();
    picturesSection(pages, c);
    pages.finish();
}

bool writeCsv(const ReportContent& c, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "shot,time,verdict,violation\n";
    for (const ReportContent::NokShot& n : c.nokShots)
        out << n.shot + 1 << ',' << timeText(n.time) << ",NOK,"
            << CommandOutput::csvField(n.violation) << '\n';
    out.flush();
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString ReportWriter::csvPathFor(const QString& pdfPath)
{
    const QFileInfo info(pdfPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-NOK.csv"));
}

ReportWriter::Result ReportWriter::write(const ReportContent& content, const QString& pdfPath,
                                         const QDateTime& writtenAt,
                                         const std::function<void(int)>& progress)
{
    Fonts::load();
    Result result;
    const QString csvPath = content.hasVerdicts ? csvPathFor(pdfPath) : QString();
    const QString csvName = QFileInfo(csvPath).fileName();
    const QString footer =
        tr("%1 %2 · geschrieben %3")
            .arg(appName, appVersion, writtenAt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));

    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = tr("%1 kann nicht geschrieben werden: %2").arg(pdfPath, file.errorString());
        return result;
    }
    int total = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(marginMm, marginMm, marginMm, marginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(tr("Prüfbericht %1").arg(content.input.project.name));
        writer.setCreator(appName + QLatin1Char(' ') + appVersion);
        {
            Pages counting(writer, nullptr, 0, footer);
            layOut(counting, content, csvName, {});
            total = counting.page();
        }
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            result.error = tr("%1 kann nicht geschrieben werden.").arg(pdfPath);
            return result;
        }
        Pages pages(writer, &painter, total, footer);
        layOut(pages, content, csvName, progress);
        painter.end();
    }
    if (!csvPath.isEmpty()) {
        QString why;
        if (!writeCsv(content, csvPath, &why)) {
            file.cancelWriting();
            result.error = tr("%1 kann nicht geschrieben werden: %2").arg(csvPath, why);
            return result;
        }
    }
    if (!file.commit()) {
        // The list belongs to this report: without the report it goes too.
        if (!csvPath.isEmpty())
            QFile::remove(csvPath);
        result.error = tr("%1 kann nicht geschrieben werden: %2").arg(pdfPath, file.errorString());
        return result;
    }
    if (progress)
        progress(100);
    result.ok = true;
    result.pages = total;
    result.csvPath = csvPath;
    return result;
}
