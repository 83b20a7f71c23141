#include "widgets/ProgressIndicator.h"

#include <QProgressBar>

ProgressIndicator::ProgressIndicator(QWidget* parent, const QString& text)
    : ProgressIndicator(parent, text, 0)
{
}

ProgressIndicator::ProgressIndicator(QWidget* parent, const QString& text, int maximum)
    : QProgressDialog(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::CustomizeWindowHint)
{
    setCancelButton(nullptr);
    // A counting indicator stays at its maximum until the caller closes it.
    setAutoReset(false);
    setAutoClose(false);
    setLabelText(text);
    setRange(0, maximum);
    setValue(0);
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(0);
    // QProgressDialog only shows itself on a value change, so show it at once; over a
    // window that is not shown yet it would stand alone, so it waits to be shown then.
    placeOverParent();
    if (!parent || parent->isVisible())
        show();
    else
        reset(); // stops the pending show that a minimum duration of 0 has scheduled
}

QRect ProgressIndicator::geometryFor(const QSize& parentSize)
{
    const int w = parentSize.width();
    const int h = parentSize.height();
    return QRect(w / 4, h / 2 - 50, w / 2, 100);
}

void ProgressIndicator::placeOverParent()
{
    if (QWidget* p = parentWidget()) {
        QRect r = geometryFor(p->size());
        r.moveTopLeft(p->mapToGlobal(r.topLeft()));
        setGeometry(r);
    }
}

void ProgressIndicator::step(const QString& text)
{
    setValue(value() + 1);
    setLabelText(text);
}

void ProgressIndicator::setProgress(int value)
{
    if (auto* bar = findChild<QProgressBar*>())
        bar->setValue(value);
}
