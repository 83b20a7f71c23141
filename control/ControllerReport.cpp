// The controller's report: the PDF of the project, written on a worker.
#include "control/Controller.h"

#include "app/Logging.h"
#include "model/Model.h"
#include "report/ReportContent.h"
#include "report/ReportInput.h"
#include "report/ReportWriter.h"
#include "view/View.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

void Controller::onReportRequested(const QString& fileName)
{
    VTRACE() << fileName;
    if (deferWhileFileBusy([this, fileName] { onReportRequested(fileName); }))
        return;
    // Half a shot would read as too short: the running one is left out.
    int shots = std::numeric_limits<int>::max();
    for (const int running : currentSeries)
        if (running >= 0)
            shots = std::min(shots, running);
    ReportInput input = ReportInput::fromModel(*model, shots);
    view->fillReportSettings(input);
    if (!model->beginFileOperation(Model::FileOperation::Report))
        return;
    ReportWriter::Result result;
    const QDateTime now = QDateTime::currentDateTime();
    // Samples are shared copies, the rest plain values: recording goes on meanwhile.
    model->runFileWork([&](const Model::FileProgress& progress) {
        const ReportContent content =
            ReportContent::compute(input, [&progress](int percent) { progress(percent * 7 / 10); });
        result = ReportWriter::write(content, fileName, now,
                                     [&progress](int percent) { progress(70 + percent * 3 / 10); });
        return result.ok;
    });
    model->endFileOperation();
    if (!result.ok) {
        view->showReportFailure(result.error);
        return;
    }
    qCInfo(lcControl).noquote() << "report written:" << fileName << result.pages << "pages";
}
