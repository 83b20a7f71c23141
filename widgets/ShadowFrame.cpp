#include "widgets/ShadowFrame.h"

#include <QGraphicsDropShadowEffect>

ShadowFrame::ShadowFrame(QWidget* parent)
    : QFrame(parent)
{
    setStyleSheet(QStringLiteral("ShadowFrame {  background: white;  margin: 0pt;}"));
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(20);
    shadow->setColor(QColor(0, 0, 11));
    shadow->setOffset(3, 3);
    setGraphicsEffect(shadow);
}
