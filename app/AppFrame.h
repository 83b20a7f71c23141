#pragma once

#include <QString>
#include <QStringList>

class QApplication;

// The start-up pieces of the application frame, kept out of main() so that tests can run
// them: resources, fonts, style, global style sheet, theme, splash picture and the
// command-line rule.
class AppFrame
{
public:
    static void registerResources();
    // Adds the three compiled-in Roboto fonts; returns how many could be added.
    static int loadFonts();
    static QString globalStyleSheet();
    // Sets the style, the global style sheet and the flat theme.
    static void applyLook(QApplication& app);
    static void setupTheme();
    // Shows the splash picture on top of all windows and blocks for the given time.
    static void showSplash(int milliseconds);
    // Exactly one extra argument names the project file to open; otherwise none.
    static QString fileToOpen(const QStringList& arguments);
};
