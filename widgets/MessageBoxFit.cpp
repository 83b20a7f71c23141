#include "widgets/MessageBoxFit.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTextDocument>
#include <QTextOption>

MessageBoxFit::MessageBoxFit(QObject* parent)
    : QObject(parent)
{
}

namespace {

// Marks a text whose longest word is wider than any box; it breaks anywhere.
const char* const breakAnywhere = "ventaroBreakAnywhere";

} // namespace

bool MessageBoxFit::eventFilter(QObject* watched, QEvent* event)
{
    // Before the box's own show handling, which sizes it.
    if (event->type() == QEvent::Show) {
        if (auto* box = qobject_cast<QMessageBox*>(watched))
            fit(box);
    } else if (event->type() == QEvent::Paint && watched->property(breakAnywhere).toBool()) {
        // The box asks its text to break anywhere when it sizes itself, but the label lays
        // its text out again after any change of font or style and then breaks at words
        // only. Laid out now, it keeps the option set here for its paint.
        auto* label = static_cast<QLabel*>(watched);
        label->heightForWidth(label->width());
        if (auto* doc = label->findChild<QTextDocument*>()) {
            QTextOption option = doc->defaultTextOption();
            if (option.wrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere) {
                option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                doc->setDefaultTextOption(option);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

int MessageBoxFit::widestBox(int screenWidth)
{
    // As QMessageBox limits itself: all of a small screen, else 480 pixels less than the
    // screen and at most 1000.
    return screenWidth <= 1024 ? screenWidth : qMin(screenWidth - 480, 1000);
}

namespace {

int longestWord(const QLabel* label)
{
    QString text = label->text();
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setHtml(text);
        text = doc.toPlainText();
    }
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = qMax(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

void MessageBoxFit::fit(QMessageBox* box)
{
    QLayout* layout = box->layout();
    const QScreen* screen = box->screen();
    if (!layout || !screen)
        return;
    const int limit = widestBox(screen->availableGeometry().width());
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto* label = box->findChild<QLabel*>(QLatin1String(name));
        if (!label || label->text().isEmpty())
            continue;
        const QMargins margins = label->contentsMargins();
        const int needed = longestWord(label) + margins.left() + margins.right() + 2;
        if (needed <= label->minimumWidth())
            continue;
        // What the box needs beside this text.
        layout->invalidate();
        // (A layout takes a widget's own least width where one is set, else its hint.)
        const int own =
            label->minimumWidth() > 0 ? label->minimumWidth() : label->minimumSizeHint().width();
        const int beside = layout->totalMinimumSize().width() - own;
        if (beside + needed <= limit) {
            label->setMinimumWidth(needed);
            continue;
        }
        // A word too wide for the widest box: one pixel over the limit makes the box break
        // its text anywhere (the pixel goes into the text's padding); selectable text is
        // laid out in a document, which can.
        label->setMinimumWidth(limit - beside + 1);
        label->setTextInteractionFlags(label->textInteractionFlags() | Qt::TextSelectableByMouse);
        label->setProperty(breakAnywhere, true);
        label->installEventFilter(this);
    }
}
