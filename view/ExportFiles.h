#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// File-name and content rules of the main window's exports, as plain functions: nothing here
// opens a dialog or touches a widget or the model.
namespace ExportFiles {

// name with suffix (".csv", ".txt") appended unless it already ends with it; the test is
// case-sensitive, so "daten.CSV" becomes "daten.CSV.csv".
QString withSuffix(const QString& name, const QString& suffix);

// The picture format for path, chosen by its extension (any case) among the formats given;
// empty when the extension names none of them or is missing.
QByteArray pictureFormat(const QString& path, const QList<QByteArray>& formats);

// An open-dialog filter: title followed by the patterns of the given formats, e.g.
// "Bild Dateien (*.bmp *.jpeg *.jpg *.png)". Formats appear once each, in sorted order.
QString pictureFilter(const QString& title, const QList<QByteArray>& formats);

// The save dialog's filter of the oscilloscope picture: BMP, JPG, PNG and TIFF, each only
// when it is among the formats this Qt can write (TIFF needs the image-formats plugins).
QString pictureSaveFilter(const QList<QByteArray>& writable);

// The first line of a saved terminal: the product name and the moment of saving.
QString terminalHeader(const QString& product, const QDateTime& savedAt);

} // namespace ExportFiles
