#pragma once

#include <QScrollBar>

class FlatTheme;

// A flat scroll bar that takes its colours from the theme of the flat style: a track in the
// light accent, a handle in the primary colour, plain step buttons at both ends.
class FlatScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit FlatScrollBar(QWidget* parent = nullptr);
    explicit FlatScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Reads the theme again, for example after the application replaced it.
    void applyTheme();
    static QString styleSheetFor(const FlatTheme& theme, Qt::Orientation orientation);
};
