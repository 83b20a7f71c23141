#pragma once

#include <QObject>

class QMessageBox;

// Makes every message box show its texts whole. A message box sizes itself for the words
// it can break, but a style sheet's least width on its text overrides what the text needs:
// a long file name, one word, was cut at the box's edge. Installed on the application, this
// gives each text the width of its longest word before the box sizes itself; a word wider
// than the box may grow makes the box break it anywhere, as it does for any text too wide
// for the screen.
class MessageBoxFit : public QObject
{
    Q_OBJECT

public:
    explicit MessageBoxFit(QObject* parent = nullptr);

    // The width a message box grows to at most on a screen this wide.
    static int widestBox(int screenWidth);
    // Sets the least widths of the box's texts; the box then sizes itself from them.
    void fit(QMessageBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
