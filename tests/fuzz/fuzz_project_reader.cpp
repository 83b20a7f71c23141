// Project files (*.mvx) from anywhere: the streaming reader, then the model taking the
// document over, then saves of that model, which must read back to the same project.

#include "model/Model.h"
#include "model/ProjectDocument.h"
#include "model/ProjectFile.h"
#include "model/ProjectReader.h"
#include "model/ProjectWriter.h"
#include "tests/fuzz/FuzzQt.h"

#include <QBuffer>

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

bool readInto(QByteArray& bytes, ProjectDocument& document)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString error;
    const bool ok = ProjectReader::read(buffer, bytes.size(), document, error, [](int percent) {
        if (percent < 0 || percent > 100)
            fail("progress outside 0 to 100");
    });
    if (!ok && error.isEmpty())
        fail("refused without telling why");
    return ok;
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
    if (!readInto(input, document))
        return 0;
    Model model;
    ProjectFile::takeOver(model, document, path);

    // What a save writes must read back. The first save may still settle what the file
    // left open (view ranges never set are written as equal and read back as the sensor's
    // range); from then on, opening and saving again must not change a byte.
    QByteArray first = saved(model);
    ProjectDocument firstRead;
    if (!readInto(first, firstRead))
        fail("a saved project does not read back");
    Model reopened;
    ProjectFile::takeOver(reopened, firstRead, path);
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
