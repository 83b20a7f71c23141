#include "view/GapBar.h"

#include "app/Constants.h"
#include "view/GapText.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

GapBar::GapBar(QWidget* parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_shotMark(new QLabel(this))
    , m_fill(new QPushButton(this))
    , m_auto(new QCheckBox(this))
{
    setObjectName(QStringLiteral("gapBar"));
    m_label->setObjectName(QStringLiteral("gapLabel"));
    m_shotMark->setObjectName(QStringLiteral("gapNumberLabel"));
    m_shotMark->hide();
    m_fill->setObjectName(QStringLiteral("fillGapsButton"));
    m_auto->setObjectName(QStringLiteral("autoBackfillCheckBox"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_shotMark);
    layout->addWidget(m_fill);
    layout->addWidget(m_auto);
    connect(m_fill, &QPushButton::clicked, this, &GapBar::fillRequested);
    connect(m_auto, &QCheckBox::toggled, this, &GapBar::autoFillToggled);
    retranslate();
    hide();
}

void GapBar::setGaps(const QVector<RecordingGap>& gaps)
{
    m_gaps = gaps;
    retranslate();
    setVisible(!gaps.isEmpty());
}

void GapBar::setAutoFill(bool on)
{
    const QSignalBlocker blocker(m_auto);
    m_auto->setChecked(on);
}

void GapBar::setShotMark(const QString& text, bool unfilled)
{
    m_shotMark->setText(text);
    m_shotMark->setStyleSheet(unfilled ? styleProblemText : QString());
    m_shotMark->setVisible(!text.isEmpty());
}

QString GapBar::text() const
{
    return m_label->text();
}

void GapBar::retranslate()
{
    m_fill->setText(tr("Lücken füllen"));
    m_auto->setText(tr("nach Wiederverbinden automatisch"));
    int open = 0;
    // A gap whose link is not back yet cannot be filled: the stick has not got all of it.
    int fillable = 0;
    QStringList lines;
    for (const RecordingGap& gap : m_gaps) {
        open += gap.isFilled() ? 0 : 1;
        fillable += gap.wantsFilling() ? 1 : 0;
        lines.append(GapText::describe(gap));
    }
    m_label->setText(
        open > 0
            ? tr("Lücken in der Aufnahme: %1, davon %2 nicht gefüllt").arg(m_gaps.size()).arg(open)
            : tr("Lücken in der Aufnahme: %1, alle gefüllt").arg(m_gaps.size()));
    m_label->setStyleSheet(open > 0 ? styleProblemText : QString());
    m_label->setToolTip(lines.join(QLatin1Char('\n')));
    m_fill->setEnabled(fillable > 0);
}

void GapBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
