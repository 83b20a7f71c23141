// The application as a program that a test can kill in the middle of a shot: model, window
// and controller against the device named by VENTARO_DEVICE_HOST, connected at once. Its
// journal goes to VENTARO_DATA_DIR.
#include "app/AppFrame.h"
#include "control/Controller.h"
#include "model/Model.h"
#include "view/View.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    AppFrame::registerResources();
    QApplication app(argc, argv);
    Model model;
    View view(&model);
    Controller controller(&model, &view);
    view.show();
    QTimer::singleShot(0, &controller, &Controller::onActionConnect);
    return app.exec();
}
