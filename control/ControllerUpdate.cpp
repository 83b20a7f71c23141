// The controller's firmware update command.
#include "control/Controller.h"

#include "app/Logging.h"
#include "control/UpdateDialog.h"
#include "view/View.h"

void Controller::onFirmwareUpdate()
{
    if (deferWhileFileBusy([this] { onFirmwareUpdate(); }))
        return;
    VTRACE();
    UpdateDialog dialog(model, connector, view);
    dialog.exec();
}
