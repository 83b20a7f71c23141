// The main window's exports (measurements, oscilloscope picture, terminal) and the project
// pictures.
#include "view/View.h"

#include "app/Constants.h"
#include "app/Logging.h"
#include "model/Model.h"
#include "report/ReportInput.h"
#include "ui_TabProject.h"
#include "ui_View.h"
#include "view/ExportFiles.h"
#include "view/ImageBox.h"
#include "view/OsziPicture.h"
#include "view/TabEvaluation.h"
#include "view/TabEvaluationRuntime.h"
#include "view/TabEvaluationValues.h"
#include "view/TabOszilloscope.h"
#include "view/TabProject.h"
#include "widgets/ClickableLabel.h"
#include "widgets/OsziWidget.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>

namespace {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void View::showExportFailure(const QString& text)
{
    const std::unique_ptr<QMessageBox> box(failureBox(QStringLiteral("exportFailureBox"), text));
    box->addButton(tr("OK"), QMessageBox::AcceptRole);
    box->exec();
}

void View::saveCSV()
{
    VTRACE();
    if (!model)
        return;
    const QString chosen = QFileDialog::getSaveFileName(
        this, tr("Save data logger file"), QString(),
        tr("CSV - Comma separated values") + QStringLiteral(" (*.csv)"));
    if (chosen.isEmpty())
        return;
    const QString fileName = ExportFiles::withSuffix(chosen, QStringLiteral(".csv"));
    emit exportMeasurements(fileName);
}

void View::createReport()
{
    VTRACE();
    if (!model)
        return;
    // Beside the project, named after it; a project not saved yet starts in the documents.
    const QFileInfo project(model->projectFileName());
    const QString suggestion =
        model->projectFileName().isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(tr("Bericht") + QStringLiteral(".pdf"))
            : project.dir().filePath(project.completeBaseName() + QStringLiteral(".pdf"));
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Bericht erstellen"), suggestion,
                                                        QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    emit reportRequested(ExportFiles::withSuffix(chosen, QStringLiteral(".pdf")));
}

void View::fillReportSettings(ReportInput& input) const
{
    if (!model)
        return;
    const TabEvaluation* evaluation = tabEvaluation();
    if (const auto markers = evaluation->valuesPage()->userMarkers(*model)) {
        input.valuesLeftMs = markers->first;
        input.valuesRightMs = markers->second;
    }
    const TabEvaluationRuntime* runtime = evaluation->runtimePage();
    input.runtimeSensor = runtime->currentSensor();
    if (const auto thresholds = runtime->userThresholds(*model, input.runtimeSensor)) {
        ReportInput::Sensor& sensor = input.sensors[static_cast<size_t>(input.runtimeSensor)];
        sensor.startValue = thresholds->first;
        sensor.stopValue = thresholds->second;
    }
}

void View::showReportFailure(const QString& reason)
{
    qCWarning(lcView).noquote() << "report not written:" << reason;
    showExportFailure(tr("Der Bericht wurde nicht erstellt: %1").arg(reason));
}

void View::showMeasurementExportFailure(const QString& fileName)
{
    qCWarning(lcView) << "Error saving CSV!";
    showExportFailure(tr("Die Messdaten konnten nicht in die Datei %1 gespeichert werden.")
                          .arg(shownPath(fileName)));
}

QImage View::oscilloscopePicture() const
{
    TabOszilloscope* oszi = tabOszi();
    QVector<QSize> current;
    QVector<bool> shown;
    for (int k = 0; k < TabOszilloscope::numSensors; ++k) {
        const OsziWidget* plot = oszi->osziWidget(k);
        current.append(plot->size());
        // Laid out by the page and not switched off by its sensor button.
        shown.append(plot->isVisibleTo(oszi) && plot->testAttribute(Qt::WA_Resized));
    }
    // The page was never shown: plots as wide as the window's pages leave room for.
    const QSize fallback(std::max(600, ui->tabWidget->currentWidget()->width() - 300), 200);
    const QVector<QSize> sizes = OsziPicture::plotSizes(current, shown, fallback);

    QVector<OsziPicture::Plot> plots;
    QFont titleFont;
    for (int k = 0; k < TabOszilloscope::numSensors; ++k) {
        OsziWidget* plot = oszi->osziWidget(k);
        QLabel* title = oszi->sensorLabel(k);
        title->ensurePolished();
        if (k == 0)
            titleFont = title->font();
        if (shown.at(k)) {
            plots.append({title->text(), plot->grab().toImage()});
            continue;
        }
        // Qt lays a hidden widget out as if it were shown before it draws it, without the
        // panel beside it; fixed for the moment, the plot keeps the size chosen for it.
        const QSize before = plot->size();
        const QSize minimum = plot->minimumSize();
        const QSize maximum = plot->maximumSize();
        plot->setFixedSize(sizes.at(k));
        plots.append({title->text(), plot->grab().toImage()});
        plot->setMinimumSize(minimum);
        plot->setMaximumSize(maximum);
        plot->resize(before);
    }
    // Drawing the switched-off plots laid the page out as if they were shown, which squeezes
    // the shown ones while plots may be low; the page goes back to its layout at once.
    if (QLayout* layout = oszi->osziWidget(0)->parentWidget()->layout())
        layout->activate();
    return OsziPicture::compose(plots, titleFont, qColorPrimary);
}

void View::saveOszi()
{
    VTRACE();
    const QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save oscilloscope"), QString(),
        ExportFiles::pictureSaveFilter(QImageWriter::supportedImageFormats()));
    if (fileName.isEmpty())
        return;
    const QImage picture = oscilloscopePicture();
    if (picture.isNull())
        qCWarning(lcView) << "pixmap is NULL!";
    const QByteArray format =
        ExportFiles::pictureFormat(fileName, QImageWriter::supportedImageFormats());
    bool written = false;
    if (!picture.isNull() && !format.isEmpty()) {
        // Written aside and renamed at the end: a failed save leaves an earlier file whole.
        QSaveFile file(fileName);
        written = file.open(QIODevice::WriteOnly) && picture.save(&file, format.constData()) &&
                  file.commit();
    }
    if (written)
        return;
    qCWarning(lcView) << "Error saving oscilloscope content!";
    if (format.isEmpty())
        showExportFailure(tr("Das Oszilloskop-Bild konnte nicht in die Datei %1 gespeichert "
                             "werden: der Name endet nicht auf ein bekanntes Bildformat "
                             "(.bmp, .jpg, .png).")
                              .arg(shownPath(fileName)));
    else
        showExportFailure(tr("Das Oszilloskop-Bild konnte nicht in die Datei %1 gespeichert "
                             "werden.")
                              .arg(shownPath(fileName)));
}

void View::saveTerminal()
{
    VTRACE();
    const QString chosen = QFileDialog::getSaveFileName(
        this, tr("Save terminal"), QString(), tr("ASCII File") + QStringLiteral(" (*.txt)"));
    if (chosen.isEmpty())
        return;
    const QString fileName = ExportFiles::withSuffix(chosen, QStringLiteral(".txt"));
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (written) {
        QTextStream out(&file);
        out.setCodec("UTF-8");
        out << ExportFiles::terminalHeader(appName, QDateTime::currentDateTime()) << "\n\n"
            << ui->editTerminal->toPlainText();
        out.flush();
        written = out.status() == QTextStream::Ok && file.commit();
    }
    if (!written) {
        qCWarning(lcView) << "Error saving terminal content!";
        showExportFailure(tr("Der Terminal-Inhalt konnte nicht in die Datei %1 gespeichert "
                             "werden.")
                              .arg(shownPath(fileName)));
    }
}

namespace {

template <typename T, size_t N>
int indexOf(const std::array<T*, N>& widgets, const QObject* object)
{
    const auto it = std::find(widgets.cbegin(), widgets.cend(), object);
    return it == widgets.cend() ? -1 : static_cast<int>(it - widgets.cbegin());
}

std::array<QPushButton*, Model::numImages> imageButtons(const Ui::TabProject* form)
{
    return {form->imageButton0, form->imageButton1, form->imageButton2, form->imageButton3,
            form->imageButton4};
}

std::array<ClickableLabel*, Model::numImages> imageLabels(const Ui::TabProject* form)
{
    return {form->imageLabel0, form->imageLabel1, form->imageLabel2, form->imageLabel3,
            form->imageLabel4};
}

} // namespace

void View::imageButtonClicked()
{
    VTRACE();
    const Ui::TabProject* form = tabProject()->form();
    const int k = indexOf(imageButtons(form), sender());
    if (k < 0) {
        qCWarning(lcView) << "imageButtonClicked: unknown sender" << sender();
        return;
    }
    if (!model)
        return;
    const QString fileName = QFileDialog::getOpenFileName(
        this, tr("Bild öffnen"), model->lastDir(),
        ExportFiles::pictureFilter(tr("Bild Dateien"), QImageReader::supportedImageFormats()));
    if (fileName.isEmpty())
        return;
    QImage image;
    if (!image.load(fileName)) {
        qCWarning(lcView).noquote() << "ERROR: cannot read picture" << fileName;
        showExportFailure(
            tr("Die Datei %1 konnte nicht als Bild gelesen werden.").arg(shownPath(fileName)));
        return;
    }
    emit projectImageChanged(k, image);
    ClickableLabel* label = imageLabels(form)[static_cast<size_t>(k)];
    label->setPixmap(QPixmap::fromImage(image));
    label->setVisible(true);
    imageButtons(form)[static_cast<size_t>(k)]->setVisible(false);
}

void View::imageLabelClicked()
{
    VTRACE();
    const int k = indexOf(imageLabels(tabProject()->form()), sender());
    if (k < 0) {
        qCWarning(lcView) << "imageLabelClicked: unknown sender" << sender();
        return;
    }
    const size_t slot = static_cast<size_t>(k);
    if (!model || model->projectImage(k).isNull() || m_imageBoxes[slot])
        return;
    const QImage image = model->projectImage(k);
    auto* box = new ImageBox(QPixmap::fromImage(image), this);
    box->setObjectName(QStringLiteral("imageBox%1").arg(k));
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_imageBoxes[slot] = box;
    m_imageBoxKeys[slot] = image.cacheKey();

    ClickableLabel* label = imageLabels(tabProject()->form())[slot];
    label->setEnabled(false);
    const auto enableLabel = [label] { label->setEnabled(true); };
    connect(box, &ImageBox::closing, label, enableLabel);
    // Closed by the window's own close button, the box says nothing before it goes.
    connect(box, &QObject::destroyed, label, enableLabel);
    using Slot = void (View::*)();
    static constexpr Slot deleteSlots[Model::numImages] = {
        &View::deleteImage0Confimed, &View::deleteImage1Confimed, &View::deleteImage2Confimed,
        &View::deleteImage3Confimed, &View::deleteImage4Confimed};
    connect(box, &ImageBox::deleteImageConfirmed, this, deleteSlots[slot]);
    box->show();
}

ImageBox* View::imageBox(int k) const
{
    return k >= 0 && k < Model::numImages ? m_imageBoxes[static_cast<size_t>(k)].data() : nullptr;
}

void View::deleteImage(int k)
{
    VTRACE() << k;
    const size_t slot = static_cast<size_t>(k);
    if (model) {
        // A viewer opened on a picture that has since been replaced (another project was
        // opened) must not delete the new one.
        if (m_imageBoxes[slot] && model->projectImage(k).cacheKey() != m_imageBoxKeys[slot]) {
            qCWarning(lcView) << "picture" << k << "changed since its viewer opened; kept";
        } else {
            emit projectImageChanged(k, QImage());
        }
    }
    if (m_imageBoxes[slot])
        m_imageBoxes[slot]->close();
}

void View::deleteImage0Confimed()
{
    deleteImage(0);
}

void View::deleteImage1Confimed()
{
    deleteImage(1);
}

void View::deleteImage2Confimed()
{
    deleteImage(2);
}

void View::deleteImage3Confimed()
{
    deleteImage(3);
}

void View::deleteImage4Confimed()
{
    deleteImage(4);
}
