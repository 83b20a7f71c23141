#pragma once

#include <QProgressDialog>

// The small modal progress window shown over the main window while connecting and around
// long operations: a busy bar, or a bar that counts steps up to a maximum.
class ProgressIndicator : public QProgressDialog
{
    Q_OBJECT

public:
    ProgressIndicator(QWidget* parent, const QString& text);
    ProgressIndicator(QWidget* parent, const QString& text, int maximum);

    // Places the window over its parent: a quarter in from the left, half the width, 100
    // pixels high around the vertical centre.
    void placeOverParent();
    static QRect geometryFor(const QSize& parentSize);

    // Moves the bar without the event processing that QProgressDialog::setValue does for a
    // modal window: progress reported while the event loop runs anyway must not let user
    // input through in the middle of the work.
    void setProgress(int value);

public slots:
    // Raises the value by one and shows text.
    void step(const QString& text);
};
