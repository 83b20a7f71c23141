#include "widgets/VerdictLamp.h"

#include "app/Constants.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const QColor okColor(0x2e, 0x9d, 0x3c);
const QColor nokColor = qColorProblem;
const QColor noneColor(0x9e, 0x9e, 0x9e);

QFont scaled(QFont font, double factor, bool bold)
{
    // The application's style sheet sizes fonts in pixels, and such a font has no points.
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * factor));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

} // namespace

VerdictLamp::VerdictLamp(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("verdictLamp"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void VerdictLamp::setVerdict(State state, int okCount, int nokCount)
{
    if (state == m_state && okCount == m_ok && nokCount == m_nok)
        return;
    m_state = state;
    m_ok = okCount;
    m_nok = nokCount;
    update();
}

QString VerdictLamp::word() const
{
    switch (m_state) {
    case State::Ok:
        return QStringLiteral("OK");
    case State::Nok:
        return QStringLiteral("NOK");
    case State::None:
        break;
    }
    return QStringLiteral("–");
}

QString VerdictLamp::countsText() const
{
    return tr("OK %1 · NOK %2").arg(m_ok).arg(m_nok);
}

QSize VerdictLamp::sizeHint() const
{
    const QFontMetrics big(scaled(font(), 1.8, true));
    const QFontMetrics small(font());
    const int width = std::max(big.horizontalAdvance(QStringLiteral("NOK")),
                               small.horizontalAdvance(tr("OK %1 · NOK %2").arg(99999).arg(99999)));
    return {width + 24, big.height() + small.height() + 10};
}

void VerdictLamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = m_state == State::Ok    ? okColor
                        : m_state == State::Nok ? nokColor
                                                : noneColor;
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, 8, 8);
    p.setPen(Qt::white);
    const QFont big = scaled(font(), 1.8, true);
    const QFontMetrics bigMetrics(big);
    QRectF top = r;
    top.setHeight(bigMetrics.height() + 4);
    p.setFont(big);
    p.drawText(top, Qt::AlignCenter, word());
    p.setFont(font());
    p.drawText(r.adjusted(0, top.height(), 0, 0), Qt::AlignHCenter | Qt::AlignTop, countsText());
}

void VerdictLamp::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LanguageChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
