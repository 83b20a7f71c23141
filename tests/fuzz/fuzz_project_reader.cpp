// Project files (*.mvx) from anywhere: the streaming reader, then the model taking the
// document over, then saves of that model, which must read back to the same project.

#include "model/Model.h"
#include "model/ProjectDocument.h"
#include "model/ProjectFile.h"
#include "model/ProjectReader.h"
#include "model/ProjectWriter.h"
#include "tests/fuzz/FuzzQt.h"

#include <QBuffer>
#include <QJsonDocument>

#include <sanitizer/lsan_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString path = QStringLiteral("fuzz.mvx");

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_project_reader: %s\n", what);
    std::abort();
}

// sizeHint is what the reader is told to expect; the application gives the file's size.
bool readInto(QByteArray& bytes, qint64 sizeHint, ProjectDocument& document, QString& error)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const bool ok = ProjectReader::read(buffer, sizeHint, document, error, [](int percent) {
        if (percent < 0 || percent > 100)
            fail("progress outside 0 to 100");
    });
    if (!ok && error.isEmpty())
        fail("refused without telling why");
    return ok;
}

// Qt 5.15's JSON parser loses the nested array or object of a key that appears twice in one
// object ({"a": [[1]], "a": [[1]]} leaks 224 bytes). Its stack is too deep to be known by name
// when that object sits deep in arrays, so what it allocates is kept out of the leak check.
bool takenByQJsonDocument(const QByteArray& bytes)
{
    __lsan::ScopedDisabler qtLeaksIgnored;
    return QJsonDocument::fromJson(bytes).isObject();
}

bool readInto(QByteArray& bytes, ProjectDocument& document)
{
    QString error;
    return readInto(bytes, bytes.size(), document, error);
}

QByteArray saved(const Model& model)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!ProjectWriter::writeProject(ProjectFile::documentOf(model), buffer))
        fail("write to memory failed");
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startQuietApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Not copied, so that a read past the input's end is caught.
    QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    ProjectDocument document;
    QString error;
    const bool ok = readInto(input, input.size(), document, error);
    // Files are taken and refused as QJsonDocument, the reader of earlier versions, did.
    if (ok != takenByQJsonDocument(input))
        fail("taken or refused unlike QJsonDocument");

    // The reader takes the file in pieces sized by what it expects, no smaller than 4 KiB.
    // A longer input is read again told to expect nothing, so in the smallest pieces:
    // where the pieces end must not change the outcome.
    QByteArray cutSaved;
    if (size > 4096) {
        ProjectDocument cutDocument;
        QString cutError;
        if (readInto(input, 0, cutDocument, cutError) != ok || cutError != error)
            fail("the outcome depends on the piece size");
        if (ok) {
            Model model;
            ProjectFile::takeOver(model, cutDocument, path);
            cutSaved = saved(model);
        }
    }
    if (!ok)
        return 0;
    Model model;
    ProjectFile::takeOver(model, document, path);

    // What a save writes must read back. The first save may still settle what the file
    // left open (view ranges never set are written as equal and read back as the sensor's
    // range); from then on, opening and saving again must not change a byte.
    QByteArray first = saved(model);
    if (!cutSaved.isNull() && cutSaved != first)
        fail("the project depends on the piece size");
    ProjectDocument firstRead;
    if (!readInto(first, firstRead))
        fail("a saved project does not read back");
    Model reopened;
    ProjectFile::takeOver(reopened, firstRead, path);
    // A reference the project kept is saved whole and kept again, one it dropped stays away.
    if ((model.reference() == nullptr) != (reopened.reference() == nullptr) ||
        (model.reference() && *model.reference() != *reopened.reference()))
        fail("the stored reference does not read back");
    QByteArray second = saved(reopened);
    ProjectDocument secondRead;
    if (!readInto(second, secondRead))
        fail("a saved project does not read back");
    Model reopenedAgain;
    ProjectFile::takeOver(reopenedAgain, secondRead, path);
    if (saved(reopenedAgain) != second)
        fail("a saved project reads back as another project");
    return 0;
}
