#pragma once

#include <QFrame>

// A white frame with a drop shadow.
class ShadowFrame : public QFrame
{
    Q_OBJECT

public:
    explicit ShadowFrame(QWidget* parent = nullptr);
};
