#include "app/AppFrame.h"
#include "app/Constants.h"
#include "model/Model.h"

#include <QApplication>
#include <QLabel>

#include <memory>

int main(int argc, char* argv[])
{
    AppFrame::registerResources();
    QApplication app(argc, argv);
    AppFrame::loadFonts();
    AppFrame::applyLook(app);
    AppFrame::showSplash(3000);

    const QString fileToOpen = AppFrame::fileToOpen(QCoreApplication::arguments());
    auto model = std::make_unique<Model>(fileToOpen);

    // Until the main window and the controller join, a plain window stands for them and
    // quitting follows its closing.
    QLabel window(appName + QLatin1Char(' ') + appVersion);
    window.setAlignment(Qt::AlignCenter);
    window.resize(400, 400);
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);

    // Quitting is decided by the main window's close handling only.
    QApplication::setQuitOnLastWindowClosed(false);
    window.show();
    app.exec();

    model.reset();
    return 0;
}
