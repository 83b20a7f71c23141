#include "app/AppFrame.h"
#include "control/Controller.h"
#include "model/Model.h"
#include "view/View.h"

#include <QApplication>

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
    auto view = std::make_unique<View>(model.get());
    auto controller = std::make_unique<Controller>(model.get(), view.get());

    // Quitting is decided by the main window's close handling and the controller only.
    QApplication::setQuitOnLastWindowClosed(false);
    view->show();
    app.exec();

    controller.reset();
    view.reset();
    model.reset();
    return 0;
}
