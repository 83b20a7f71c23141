// SCP transfers: the argument texts and the shared tool run, with the winscp
// stand-in that the build places beside the test executables (bin/winscp/winscp.com),
// working on a simulated USB stick.
#include "control/ScpProblemBox.h"
#include "device/DeviceAddress.h"
#include "device/KalvikConnector.h"
#include "device/ScpTransfer.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LogCapture.h"
#include "tests/common/LoopbackAddress.h"
#include "tests/common/TestMain.h"
#include "tools/sim/StickFolder.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int scpArea = 13;

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

QString standInPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/winscp/winscp.com");
}

bool writeScript(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
}

// Processes whose command line mentions text (Linux); the tool must not outlive its run.
int processesMentioning(const QString& text)
{
    int found = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile cmdline(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        QByteArray bytes = cmdline.readAll();
        bytes.replace('\0', ' ');
        if (QString::fromLocal8Bit(bytes).contains(text))
            ++found;
    }
    return found;
}

} // namespace

class TestScp : public QObject
{
    Q_OBJECT

private:
    QString m_host;
    std::unique_ptr<QTemporaryDir> m_stick;
    std::unique_ptr<QTemporaryDir> m_work;

    QString stickFile(const QString& relative) const
    {
        return m_stick->path() + QLatin1Char('/') + relative;
    }

    // Runs the stand-in directly with an argument list; returns exit code and output.
    int runStandIn(const QStringList& arguments, QString* output)
    {
        QProcess process;
        process.setWorkingDirectory(m_work->path());
        process.start(standInPath(), arguments);
        process.closeWriteChannel();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
            *output = QStringLiteral("<did not end>");
            return -1000;
        }
        *output = QString::fromLocal8Bit(process.readAllStandardOutput() +
                                         process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2000;
    }

    QString openCommand() const
    {
        return QStringLiteral("open pi:k7315ta@%1 -hostkey=* ").arg(m_host);
    }

private slots:
    void initTestCase()
    {
        m_host = loopbackAddress(scpArea);
        QVERIFY2(QFileInfo(standInPath()).isExecutable(), qPrintable(standInPath()));
    }

    void init()
    {
        m_stick = std::make_unique<QTemporaryDir>();
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_stick->isValid() && m_work->isValid());
        qputenv("KALVIK_STICK_DIR", m_stick->path().toLocal8Bit());
        QCOMPARE(StickFolder(m_stick->path()).generate(QDate(2019, 12, 24), 2, 2, 4), 4);
    }

    void cleanup()
    {
        ScpTransfer::setTimeoutsForTesting(-1, -1);
        ScpTransfer::setApplicationDirForTesting(QString());
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void fixedValues()
    {
        QCOMPARE(ScpTransfer::toolPath(),
                 QCoreApplication::applicationDirPath() + "/winscp/winscp.com");
        QCOMPARE(ScpTransfer::startTimeoutMs(), 3000);
        QCOMPARE(ScpTransfer::finishTimeoutMs(), 40000);
        ScpTransfer::setTimeoutsForTesting(10, 20);
        QCOMPARE(ScpTransfer::startTimeoutMs(), 10);
        QCOMPARE(ScpTransfer::finishTimeoutMs(), 20);
        ScpTransfer::setTimeoutsForTesting(-1, -1);
        QCOMPARE(ScpTransfer::finishTimeoutMs(), 40000);
    }

    void uploadArgumentsPieceForPiece()
    {
        const QStringList pieces = ScpTransfer::uploadPieces(
            QStringLiteral("127.0.0.2"), QStringLiteral("/home/user/fw files/kalvik-1.5.tgz"));
        QCOMPARE(pieces,
                 (QStringList{"/command", "open pi:k7315ta@127.0.0.2 -hostkey=* ",
                              "put -preservetime \"\\home\\user\\fw files\\kalvik-1.5.tgz\" "
                              "\"/media/usbstick/\"",
                              "exit"}));
        // The command line as Windows hands it over: a quote inside a quoted piece doubled.
        QCOMPARE(ScpTransfer::argumentText(pieces),
                 QStringLiteral("/command \"open pi:k7315ta@127.0.0.2 -hostkey=* \" \"put "
                                "-preservetime \"\"\\home\\user\\fw files\\kalvik-1.5.tgz\"\" "
                                "\"\"/media/usbstick/\"\"\" exit"));
    }

    void fetchArgumentsPieceForPiece()
    {
        QCOMPARE(
            ScpTransfer::fetchPieces(QStringLiteral("127.0.0.2"), QStringLiteral("dir-20191224")),
            (QStringList{"/command", "open pi:k7315ta@127.0.0.2 -hostkey=* ",
                         "get -preservetime \"/media/usbstick/data/dir-20191224\"", "exit"}));
    }

    void windowsPathForm()
    {
        QCOMPARE(ScpTransfer::windowsPathForm(QStringLiteral("/a/b c/d.tgz")),
                 QStringLiteral("\\a\\b c\\d.tgz"));
        QCOMPARE(ScpTransfer::windowsPathForm(QStringLiteral("C:\\x\\y.tgz")),
                 QStringLiteral("C:\\x\\y.tgz"));
    }

    void fetchPlacesTheDayFolderInTheWorkingDirectory()
    {
        DialogAnswerer answer;
        answer.reject(); // only if a box came, which would be a failure
        LogCapture log;
        QVERIFY(
            ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"), m_work->path()));
        QCOMPARE(answer.answered(), 0);
        QVERIFY(log.contains(QStringLiteral("starting tool: ") + ScpTransfer::toolPath() +
                             QLatin1Char(' ') +
                             ScpTransfer::fetchArguments(m_host, QStringLiteral("dir-20191224")) +
                             QStringLiteral(" in ") + m_work->path()));
        QVERIFY(log.contains(QStringLiteral("exit code: 0")));
        QVERIFY(log.contains(QStringLiteral("Normal Exit")));

        const QStringList remote =
            QDir(stickFile(QStringLiteral("data/dir-20191224"))).entryList(QDir::Files, QDir::Name);
        const QString localFolder = m_work->path() + QStringLiteral("/dir-20191224");
        QCOMPARE(QDir(localFolder).entryList(QDir::Files, QDir::Name), remote);
        QCOMPARE(remote.size(), 2);
        for (const QString& name : remote) {
            const QString source = stickFile(QStringLiteral("data/dir-20191224/") + name);
            const QString copy = localFolder + QLatin1Char('/') + name;
            QCOMPARE(fileDigest(copy), fileDigest(source));
            // -preservetime keeps the device's file times.
            QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(source).lastModified());
        }
        // Only the asked day came.
        QVERIFY(!QFileInfo::exists(m_work->path() + QStringLiteral("/dir-20191223")));
    }

    void fetchOfADayFolderWithoutFiles()
    {
        QVERIFY(QDir().mkpath(stickFile(QStringLiteral("data/dir-20200101"))));
        DialogAnswerer answer;
        answer.reject();
        QVERIFY(
            ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20200101"), m_work->path()));
        QCOMPARE(answer.answered(), 0);
        QVERIFY(QDir(m_work->path() + QStringLiteral("/dir-20200101")).isEmpty());
    }

    void twoRunsInOrder()
    {
        DialogAnswerer answer;
        answer.reject();
        LogCapture log;
        QVERIFY(
            ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191223"), m_work->path()));
        QVERIFY(
            ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"), m_work->path()));
        QCOMPARE(answer.answered(), 0);
        QStringList starts;
        for (const QString& line : log.lines()) {
            if (line.startsWith(QLatin1String("starting tool: ")))
                starts.append(line);
        }
        QCOMPARE(starts.size(), 2);
        QVERIFY(starts.at(0).contains(QLatin1String("data/dir-20191223\"")));
        QVERIFY(starts.at(1).contains(QLatin1String("data/dir-20191224\"")));
        QCOMPARE(log.count(QStringLiteral("Normal Exit")), 2);
        QCOMPARE(
            QDir(m_work->path() + QStringLiteral("/dir-20191223")).entryList(QDir::Files).size(),
            2);
        QCOMPARE(
            QDir(m_work->path() + QStringLiteral("/dir-20191224")).entryList(QDir::Files).size(),
            2);
    }

    void uploadGoesToTheStickRootInTheBackslashForm()
    {
        QTemporaryDir source;
        const QString archive = source.path() + QStringLiteral("/firmware/kalvik-1.5.tgz");
        QVERIFY(writeScript(archive, QByteArray("not really a tar archive\n").repeated(100)));
        const QDateTime built(QDate(2019, 11, 5), QTime(8, 30, 0));
        {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(built, QFileDevice::FileModificationTime));
        }
        DialogAnswerer answer;
        answer.reject();
        LogCapture log;
        KalvikConnector connector;
        // Before any connection the host is the device address, here loopback (test.sh).
        QVERIFY(connector.transferUpdateFile(archive));
        QCOMPARE(answer.answered(), 0);
        QVERIFY(log.contains(QStringLiteral("@") + deviceHost() + QStringLiteral(" -hostkey=* ")));
        QVERIFY(log.contains(QStringLiteral("\"put -preservetime \"\"") +
                             ScpTransfer::windowsPathForm(archive) +
                             QStringLiteral("\"\" \"\"/media/usbstick/\"\"\"")));
        const QString uploaded = stickFile(QStringLiteral("kalvik-1.5.tgz"));
        QCOMPARE(fileDigest(uploaded), fileDigest(archive));
        QCOMPARE(QFileInfo(uploaded).lastModified(), built);

        // After a connection attempt the host is the one last given to connect.
        connector.connect(m_host);
        log.clear();
        QVERIFY(connector.transferUpdateFile(archive));
        QVERIFY(log.contains(QStringLiteral("@") + m_host + QStringLiteral(" -hostkey=* ")));
    }

    // The archive path went into the put command unquoted: a blank split it in two, and a
    // quote could end the command and add others.
    void firmwarePathReachesTheToolWhole_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("blank") << "Max Muster"
                               << "kalvik 1.5.tgz";
        QTest::newRow("quote with script commands") << "x\" \"rm /media/usbstick/keep\" \"put "
                                                    << "kalvik-1.5.tgz";
        QTest::newRow("doubled quotes") << "a\"\"b"
                                        << "\"\".tgz";
    }

    void firmwarePathReachesTheToolWhole()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QTemporaryDir source;
        const QString archive = source.path() + QLatin1Char('/') + folder + QLatin1Char('/') + file;
        QVERIFY(writeScript(archive, "archive of " + file.toUtf8() + '\n'));
        QVERIFY(writeScript(stickFile(QStringLiteral("keep")), "kept\n"));
        DialogAnswerer answer;
        answer.reject();
        KalvikConnector connector;
        QVERIFY(connector.transferUpdateFile(archive));
        QCOMPARE(answer.answered(), 0);
        QCOMPARE(fileDigest(stickFile(file)), fileDigest(archive));
        QStringList expected{file, QStringLiteral("data"), QStringLiteral("keep")};
        expected.sort();
        QCOMPARE(
            QDir(m_stick->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
            expected);
    }

    void missingToolGivesTheCouldNotBeStartedBox()
    {
        QTemporaryDir emptyAppDir;
        ScpTransfer::setApplicationDirForTesting(emptyAppDir.path());
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        DialogAnswerer answer;
        answer.clickButton(QStringLiteral("OK"));
        ScpTransfer::Problem problem;
        QVERIFY(!ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"),
                                             m_work->path(), {}, &problem));
        // The device layer shows nothing; the controller's box tells the problem.
        QCOMPARE(answer.answered(), 0);
        ScpProblemBox::show(problem);
        QCOMPARE(answer.answered(), 1);
        QCOMPARE(answer.titles(), QStringList{QStringLiteral("Problem")});
        const QString prefix =
            QStringLiteral("The SCP tool could not be started!<br><br>Tool command: ") +
            emptyAppDir.path() + QStringLiteral("/winscp/winscp.com<br>Error: ");
        QVERIFY2(answer.texts().first().startsWith(prefix), qPrintable(answer.texts().first()));
        QVERIFY(answer.texts().first().size() > prefix.size());
        // The wait cursor does not stay over the box.
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void wrongPasswordShowsTheToolsOutput()
    {
        QStringList arguments = ScpTransfer::fetchPieces(m_host, QStringLiteral("dir-20191224"));
        arguments[1].replace(QStringLiteral(":k7315ta@"), QStringLiteral(":secret@"));
        DialogAnswerer answer;
        answer.clickButton(QStringLiteral("OK"));
        LogCapture log;
        ScpTransfer::Problem problem;
        QVERIFY(!ScpTransfer::runTool(arguments, m_work->path(), {}, &problem));
        QCOMPARE(problem.title, QStringLiteral("SCP Problem"));
        const QString text = problem.text;
        QVERIFY2(
            text.startsWith(QStringLiteral("SCP was NOT successful!!\n\nPlease check output:")),
            qPrintable(text));
        QVERIFY(text.contains(QLatin1String("Authentication failed.")));
        QVERIFY(text.contains(QLatin1String("\n*******\n")));
        QVERIFY(log.contains(QString(64, QLatin1Char('-'))));
        QVERIFY(log.contains(QStringLiteral("SCP Problem:")));
        QVERIFY(log.contains(QStringLiteral("  StdOut:  ")));
        QVERIFY(log.contains(QStringLiteral("  StdErr:  ")));
        QVERIFY(log.contains(QStringLiteral("exit code: 1")));
        QVERIFY(!QFileInfo::exists(m_work->path() + QStringLiteral("/dir-20191224")));
    }

    void aToolThatNeverEndsIsEnded()
    {
        // Without "exit" the console tool waits at its prompt for more commands.
        const QString marker = QStringLiteral("@%1 -hostkey=* ").arg(m_host);
        const QStringList arguments{
            QStringLiteral("/command"), QStringLiteral("open pi:k7315ta") + marker,
            QStringLiteral("get -preservetime /media/usbstick/data/dir-20191224")};
        ScpTransfer::setTimeoutsForTesting(3000, 300);
        DialogAnswerer answer;
        answer.clickButton(QStringLiteral("OK"));
        QElapsedTimer clock;
        clock.start();
        ScpTransfer::Problem problem;
        QVERIFY(!ScpTransfer::runTool(arguments, m_work->path(), {}, &problem));
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(problem.title, QStringLiteral("Problem"));
        QCOMPARE(problem.text, QStringLiteral("SCP did not end (yet)!"));
#ifdef Q_OS_LINUX
        QCOMPARE(processesMentioning(QStringLiteral("k7315ta") + marker), 0);
#endif
    }

    void aToolThatCrashesGivesTheToolStoppedBox()
    {
        QTemporaryDir appDir;
        QVERIFY(writeScript(appDir.path() + QStringLiteral("/winscp/winscp.com"),
                            "#!/bin/sh\nkill -KILL $$\n"));
        ScpTransfer::setApplicationDirForTesting(appDir.path());
        DialogAnswerer answer;
        answer.clickButton(QStringLiteral("OK"));
        ScpTransfer::Problem problem;
        QVERIFY(!ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"),
                                             m_work->path(), {}, &problem));
        QCOMPARE(problem.title, QStringLiteral("Problem"));
        QCOMPARE(problem.text, QStringLiteral("The tool stopped!"));
    }

    // A tool that has already ended when the wait for its end begins (the events processed
    // before the wait took its end notice) ended; it did not fail to end.
    void aToolThatEndedBeforeTheWaitIsNotTakenForHanging()
    {
        QTemporaryDir appDir;
        QVERIFY(writeScript(appDir.path() + QStringLiteral("/winscp/winscp.com"),
                            "#!/bin/sh\nexit 0\n"));
        ScpTransfer::setApplicationDirForTesting(appDir.path());
        DialogAnswerer answer;
        answer.reject();
        // Runs in the events processed after the start: by then the tool has ended.
        QTimer::singleShot(0, [] {
            QThread::msleep(300);
            QCoreApplication::processEvents();
        });
        QVERIFY(ScpTransfer::runTool({QStringLiteral("/command"), QStringLiteral("exit")},
                                     m_work->path()));
        QCOMPARE(answer.answered(), 0);
    }

    // The tool used to be started from one command text split at blanks, with the tool path
    // unquoted, so an application under a folder whose name holds a blank never started it.
    void toolInAFolderWhoseNameHasABlankStarts()
    {
        QTemporaryDir root;
        const QString appDir = root.path() + QStringLiteral("/Ventaro Programme/bin");
        const QString tool = appDir + QStringLiteral("/winscp/winscp.com");
        QVERIFY(QDir().mkpath(appDir + QStringLiteral("/winscp")));
        QVERIFY(QFile::copy(standInPath(), tool));
        QVERIFY(QFile::setPermissions(tool, QFile::permissions(standInPath())));
        ScpTransfer::setApplicationDirForTesting(appDir);
        QCOMPARE(ScpTransfer::toolPath(), tool);

        const QString work = root.path() + QStringLiteral("/Eigene Dateien/tmp-blackbox-dir");
        QVERIFY(QDir().mkpath(work));
        DialogAnswerer answer;
        answer.reject();
        QVERIFY(ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"), work));
        QCOMPARE(answer.answered(), 0);
        QCOMPARE(QDir(work + QStringLiteral("/dir-20191224")).entryList(QDir::Files).size(), 2);
    }

    // Run by itself in a copy of this test executable (next test) as well as here: the
    // tool is found beside the executable, without any stand-in for the application folder.
    void fetchWithTheToolBesideTheExecutable()
    {
        QCOMPARE(ScpTransfer::toolPath(),
                 QCoreApplication::applicationDirPath() + "/winscp/winscp.com");
        DialogAnswerer answer;
        answer.reject();
        QVERIFY(
            ScpTransfer::fetchDirectory(m_host, QStringLiteral("dir-20191224"), m_work->path()));
        QCOMPARE(answer.answered(), 0);
        QCOMPARE(
            QDir(m_work->path() + QStringLiteral("/dir-20191224")).entryList(QDir::Files).size(),
            2);
    }

    void theApplicationInstalledUnderAFolderWithABlank()
    {
        QTemporaryDir root;
        const QString binDir = root.path() + QStringLiteral("/Program Files/Ventaro 7/bin");
        QVERIFY(QDir().mkpath(binDir + QStringLiteral("/winscp")));
        const QString self = QCoreApplication::applicationFilePath();
        const QString copy = binDir + QLatin1Char('/') + QFileInfo(self).fileName();
        QVERIFY(QFile::copy(self, copy));
        QVERIFY(QFile::copy(standInPath(), binDir + QStringLiteral("/winscp/winscp.com")));
        QVERIFY(QFile::setPermissions(copy, QFile::permissions(self)));
        QVERIFY(QFile::setPermissions(binDir + QStringLiteral("/winscp/winscp.com"),
                                      QFile::permissions(standInPath())));
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(copy, {QStringLiteral("fetchWithTheToolBesideTheExecutable")});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(output));
        QVERIFY2(output.contains(
                     QLatin1String("PASS   : TestScp::fetchWithTheToolBesideTheExecutable()")),
                 qPrintable(output));
        QVERIFY2(output.contains(binDir + QStringLiteral("/winscp/winscp.com /command")),
                 qPrintable(output));
    }

    void nonLoopbackHostIsRefusedWithoutAConnection()
    {
        DialogAnswerer answer;
        answer.clickButton(QStringLiteral("OK"));
        // The device's own address: never reached, the stand-in opens no connection at all.
        ScpTransfer::Problem problem;
        QVERIFY(!ScpTransfer::fetchDirectory(factoryDeviceAddress, QStringLiteral("dir-20191224"),
                                             m_work->path(), {}, &problem));
        QCOMPARE(problem.title, QStringLiteral("SCP Problem"));
        QVERIFY(problem.text.contains(
            QStringLiteral("Refused to connect to '%1'").arg(factoryDeviceAddress)));
        QVERIFY(problem.text.contains(QLatin1String("No connection was opened.")));
    }

    void standInAcceptsTheApplicationsCommandLine()
    {
        QString output;
        QCOMPARE(runStandIn({"/command", openCommand(), "exit"}, &output), 0);
        QVERIFY(output.contains(QLatin1String("Session started.")));
        QCOMPARE(runStandIn({"/help"}, &output), 0);
        // get into an explicit local folder, put under another name.
        QCOMPARE(runStandIn({"/command", openCommand(),
                             "get -preservetime /media/usbstick/data/dir-20191223 sub\\",
                             "put -preservetime sub\\dir-20191223 /media/usbstick/copy", "exit"},
                            &output),
                 0);
        QCOMPARE(QDir(m_work->path() + QStringLiteral("/sub/dir-20191223"))
                     .entryList(QDir::Files)
                     .size(),
                 2);
        QCOMPARE(QDir(stickFile(QStringLiteral("copy"))).entryList(QDir::Files).size(), 2);
    }

    void standInRejectsMalformedCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString open = QStringLiteral("open pi:k7315ta@127.0.0.1 -hostkey=* ");
        QTest::newRow("nothing") << QStringList{} << "Usage";
        QTest::newRow("no commands") << QStringList{"/command"} << "No script commands";
        QTest::newRow("no /command") << QStringList{open} << "Unexpected parameter";
        QTest::newRow("unknown switch")
            << QStringList{"/bogus", "/command", open} << "Unknown switch '/bogus'";
        QTest::newRow("get without session")
            << QStringList{"/command", "get /media/usbstick/data", "exit"} << "No session.";
        QTest::newRow("unknown command") << QStringList{"/command", open, "frobnicate", "exit"}
                                         << "Unknown command 'frobnicate'.";
        QTest::newRow("open without user")
            << QStringList{"/command", "open 127.0.0.1", "exit"} << "has no user name";
        QTest::newRow("open without URL")
            << QStringList{"/command", "open -hostkey=*", "exit"} << "Missing session URL";
        QTest::newRow("wrong user")
            << QStringList{"/command", "open root:k7315ta@127.0.0.1", "exit"}
            << "Authentication failed.";
        QTest::newRow("host name")
            << QStringList{"/command", "open pi:k7315ta@kalvik.example.com", "exit"}
            << "Refused to connect to 'kalvik.example.com'";
        QTest::newRow("the device's own address")
            << QStringList{"/command", "open pi:k7315ta@" + factoryDeviceAddress, "exit"}
            << "Refused to connect to '" + factoryDeviceAddress + "'";
        QTest::newRow("outside the stick")
            << QStringList{"/command", open, "get /etc/passwd", "exit"}
            << "is not on the device's USB stick";
        QTest::newRow("climbing out of the stick")
            << QStringList{"/command", open, "get /media/usbstick/../../etc", "exit"}
            << "is not on the device's USB stick";
        QTest::newRow("missing day")
            << QStringList{"/command", open, "get /media/usbstick/data/dir-19990101", "exit"}
            << "does not exist.";
        QTest::newRow("missing archive")
            << QStringList{"/command", open,
                           "put -preservetime \\no\\such\\file.tgz /media/usbstick/", "exit"}
            << "does not exist.";
        QTest::newRow("put without remote") << QStringList{"/command", open, "put a.tgz", "exit"}
                                            << "needs a local path and a remote path";
        QTest::newRow("unknown transfer switch")
            << QStringList{"/command", open, "get -bogus /media/usbstick/data", "exit"}
            << "Unknown switch '-bogus'";
        QTest::newRow("unterminated quote")
            << QStringList{"/command", open, "get \"/media/usbstick/data", "exit"}
            << "Unterminated quotation mark";
    }

    void standInRejectsMalformedCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QString output;
        const int code = runStandIn(arguments, &output);
        QVERIFY2(code != 0 && code > -1000, qPrintable(QString::number(code)));
        QVERIFY2(output.contains(message), qPrintable(output));
    }

    void standInWithoutTheStickFolderFails()
    {
        qputenv("KALVIK_STICK_DIR", (m_work->path() + QStringLiteral("/no-stick")).toLocal8Bit());
        QString output;
        QCOMPARE(runStandIn({"/command", openCommand(), "exit"}, &output), 1);
        QVERIFY(output.contains(QLatin1String("USB stick is not there")));
    }
};

VENTARO_TEST_MAIN(TestScp)
#include "test_scp.moc"
