// A stand-in for the winscp console client (winscp.com) that the application runs for every file
// transfer. It understands the command line the application builds, checks the login the
// device expects, and performs "get" and "put" on the simulated device's USB stick, the
// folder KALVIK_STICK_DIR that stands for /media/usbstick/. It never opens a network
// connection: a session is only "opened" to a loopback address, where kalvik-sim lives.
//
// Exit code 0 on success, 1 on any error, with the error text on standard output, as the
// console client writes it.
#include "tools/common/StickPath.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QString expectedUser = QStringLiteral("pi");
const QString expectedPassword = QStringLiteral("k7315ta");
const QString remoteRoot = QStringLiteral("/media/usbstick");

void say(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct Failure
{
    QString text;
};

// Splits one script command into words: blanks separate, a double-quoted stretch is one
// word, and "" inside quotes is a quotation mark (winscp's script syntax).
QStringList scriptWords(const QString& command)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (int i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < command.size() && command.at(i + 1) == QLatin1Char('"')) {
                word += c;
                ++i;
            } else {
                quoted = !quoted;
            }
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        throw Failure{QStringLiteral("Unterminated quotation mark in command: %1").arg(command)};
    if (inWord)
        words.append(word);
    return words;
}

// Literal loopback addresses only; a name other than localhost is never looked up.
bool isLoopback(QString host)
{
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
        host == QLatin1String("::1"))
        return true;
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4 || parts.first() != QLatin1String("127"))
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0 || value > 255 || part.isEmpty() || part.size() > 3)
            return false;
    }
    return true;
}

class Session
{
public:
    Session()
        : m_stick(kalvikStickDir())
    {
    }

    // Runs one script command; false for "exit".
    bool run(const QString& command)
    {
        const QStringList words = scriptWords(command);
        if (words.isEmpty())
            return true;
        const QString verb = words.first().toLower();
        const QStringList rest = words.mid(1);
        if (verb == QLatin1String("exit") || verb == QLatin1String("bye")) {
            return false;
        } else if (verb == QLatin1String("open")) {
            open(rest);
        } else if (verb == QLatin1String("close")) {
            requireSession();
            m_open = false;
            say(QStringLiteral("Session '%1@%2' closed.").arg(m_user, m_host));
        } else if (verb == QLatin1String("option")) {
            option(rest);
        } else if (verb == QLatin1String("get")) {
            get(rest);
        } else if (verb == QLatin1String("put")) {
            put(rest);
        } else {
            throw Failure{QStringLiteral("Unknown command '%1'.").arg(words.first())};
        }
        return true;
    }

private:
    void open(const QStringList& words)
    {
        QString url;
        for (const QString& word : words) {
            if (word.startsWith(QLatin1Char('-'))) {
                // -hostkey=* and the like: accepted, nothing to check without a network.
                continue;
            }
            if (!url.isEmpty())
                throw Failure{QStringLiteral("Too many parameters for command 'open'.")};
            url = word;
        }
        if (url.isEmpty())
            throw Failure{QStringLiteral("Missing session URL for command 'open'.")};
        for (const char* scheme : {"scp://", "sftp://"}) {
            if (url.startsWith(QLatin1String(scheme)))
                url = url.mid(int(qstrlen(scheme)));
        }
        if (url.endsWith(QLatin1Char('/')))
            url.chop(1);
        const int at = url.lastIndexOf(QLatin1Char('@'));
        if (at <= 0)
            throw Failure{QStringLiteral("Session URL '%1' has no user name.").arg(url)};
        const QString login = url.left(at);
        QString host = url.mid(at + 1);
        const int colon = login.indexOf(QLatin1Char(':'));
        const QString user = colon < 0 ? login : login.left(colon);
        const QString password = colon < 0 ? QString() : login.mid(colon + 1);
        // A port after the host (host:22) is allowed; IPv6 addresses come in brackets.
        if (!host.startsWith(QLatin1Char('[')) && host.count(QLatin1Char(':')) == 1)
            host = host.left(host.indexOf(QLatin1Char(':')));
        if (host.isEmpty())
            throw Failure{QStringLiteral("Session URL '%1' has no host.").arg(url)};

        if (!isLoopback(host)) {
            throw Failure{
                QStringLiteral("Refused to connect to '%1': this winscp stand-in reaches only "
                               "loopback addresses (127.x.x.x, ::1, localhost), where kalvik-sim "
                               "runs. No connection was opened.")
                    .arg(host)};
        }
        say(QStringLiteral("Searching for host..."));
        say(QStringLiteral("Connecting to host..."));
        say(QStringLiteral("Authenticating..."));
        say(QStringLiteral("Using username \"%1\".").arg(user));
        if (user != expectedUser || password != expectedPassword) {
            say(QStringLiteral("Authenticating with pre-entered password."));
            say(QStringLiteral("Access denied."));
            throw Failure{QStringLiteral("Authentication failed.")};
        }
        say(QStringLiteral("Authenticating with pre-entered password."));
        say(QStringLiteral("Authenticated."));
        say(QStringLiteral("Starting the session..."));
        if (!QFileInfo(m_stick).isDir()) {
            throw Failure{QStringLiteral("The device's USB stick is not there (no folder %1; "
                                         "set KALVIK_STICK_DIR).")
                              .arg(m_stick)};
        }
        say(QStringLiteral("Session started."));
        say(QStringLiteral("Active session: [1] %1@%2").arg(user, host));
        m_open = true;
        m_user = user;
        m_host = host;
    }

    void option(const QStringList& words)
    {
        if (words.size() != 2)
            throw Failure{QStringLiteral("Command 'option' needs a name and a value.")};
        const QString name = words.at(0).toLower();
        if (name != QLatin1String("batch") && name != QLatin1String("confirm"))
            throw Failure{QStringLiteral("Unknown option '%1'.").arg(words.at(0))};
        say(QStringLiteral("%1 %2").arg(name, -12).arg(words.at(1)));
    }

    void requireSession() const
    {
        if (!m_open)
            throw Failure{QStringLiteral("No session.")};
    }

    // Switches of get and put; returns the remaining words.
    QStringList transferSwitches(const QStringList& words, bool* preserveTime) const
    {
        QStringList rest;
        *preserveTime = false;
        for (const QString& word : words) {
            if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
                rest.append(word);
            } else if (word == QLatin1String("-preservetime")) {
                *preserveTime = true;
            } else if (word == QLatin1String("-nopreservetime") ||
                       word.startsWith(QLatin1String("-transfer="))) {
                continue;
            } else {
                throw Failure{QStringLiteral("Unknown switch '%1'.").arg(word)};
            }
        }
        return rest;
    }

    // The stick folder's path for a remote path below /media/usbstick/.
    QString localForRemote(const QString& remote) const
    {
        const QString clean = QDir::cleanPath(remote);
        if (clean != remoteRoot && !clean.startsWith(remoteRoot + QLatin1Char('/'))) {
            throw Failure{
                QStringLiteral("File or folder '%1' is not on the device's USB stick (%2/).")
                    .arg(remote, remoteRoot)};
        }
        return m_stick + clean.mid(remoteRoot.size());
    }

    static QString fromWindowsForm(const QString& path)
    {
        return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }

    // Copies a file or a folder with everything in it; target is the new path.
    static void copy(const QString& source, const QString& target, bool preserveTime,
                     const QString& shownAs)
    {
        const QFileInfo info(source);
        if (info.isDir()) {
            if (!QDir().mkpath(target))
                throw Failure{QStringLiteral("Cannot create folder '%1'.").arg(target)};
            const QStringList entries = QDir(source).entryList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
            for (const QString& entry : entries) {
                copy(source + QLatin1Char('/') + entry, target + QLatin1Char('/') + entry,
                     preserveTime, shownAs + QLatin1Char('/') + entry);
            }
            return;
        }
        if (QFileInfo(target).isDir())
            throw Failure{QStringLiteral("Cannot overwrite folder '%1' with a file.").arg(target)};
        QFile::remove(target);
        if (!QFile::copy(source, target))
            throw Failure{QStringLiteral("Cannot copy '%1' to '%2'.").arg(source, target)};
        if (preserveTime) {
            QFile copied(target);
            if (!copied.open(QIODevice::ReadWrite) ||
                !copied.setFileTime(info.lastModified(), QFileDevice::FileModificationTime))
                throw Failure{QStringLiteral("Cannot set the time of '%1'.").arg(target)};
        }
        say(QStringLiteral("%1 | %2 B | binary | 100%").arg(shownAs, -40).arg(info.size()));
    }

    static QString lastName(const QString& path)
    {
        QString clean = QDir::cleanPath(path);
        return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
    }

    void get(const QStringList& words)
    {
        requireSession();
        bool preserveTime = false;
        const QStringList paths = transferSwitches(words, &preserveTime);
        if (paths.isEmpty() || paths.size() > 2)
            throw Failure{
                QStringLiteral("Command 'get' needs a remote path and at most one local path.")};
        const QString remote = paths.at(0);
        const QString source = localForRemote(remote);
        if (!QFileInfo::exists(source))
            throw Failure{QStringLiteral("File or folder '%1' does not exist.").arg(remote)};
        // Without a local path the copy goes to the working directory under its own name.
        QString local = paths.size() == 2 ? fromWindowsForm(paths.at(1)) : QStringLiteral("./");
        QString target = local;
        if (local.endsWith(QLatin1Char('/')) || QFileInfo(local).isDir())
            target = QDir(local).absoluteFilePath(lastName(source));
        copy(source, QDir::cleanPath(QDir::current().absoluteFilePath(target)), preserveTime,
             lastName(source));
    }

    void put(const QStringList& words)
    {
        requireSession();
        bool preserveTime = false;
        const QStringList paths = transferSwitches(words, &preserveTime);
        if (paths.size() < 2)
            throw Failure{QStringLiteral("Command 'put' needs a local path and a remote path.")};
        // Several local paths may come before the remote one, as with the console client;
        // an unquoted local path with a blank therefore arrives in pieces.
        const QString remote = paths.last();
        const QStringList locals = paths.mid(0, paths.size() - 1);
        QStringList sources;
        for (const QString& local : locals) {
            // The application hands over its path in the Windows form; this PC uses slashes.
            const QString source = QDir::current().absoluteFilePath(fromWindowsForm(local));
            if (!QFileInfo::exists(source))
                throw Failure{QStringLiteral("File or folder '%1' does not exist.").arg(local)};
            sources.append(source);
        }
        const QString remoteTarget = localForRemote(remote);
        const bool intoFolder = remote.endsWith(QLatin1Char('/')) ||
                                QFileInfo(remoteTarget).isDir() || sources.size() > 1;
        if (intoFolder && !QFileInfo(remoteTarget).isDir())
            throw Failure{QStringLiteral("Remote folder '%1' does not exist.").arg(remote)};
        for (const QString& source : sources) {
            const QString target =
                intoFolder ? remoteTarget + QLatin1Char('/') + lastName(source) : remoteTarget;
            copy(source, QDir::cleanPath(target), preserveTime, lastName(source));
        }
    }

    QString m_stick;
    bool m_open = false;
    QString m_user;
    QString m_host;
};

void usage()
{
    say(QStringLiteral(
        "winscp.com stand-in of Ventaro (no network; works on KALVIK_STICK_DIR)\n"
        "Usage: winscp.com /command \"open USER:PASSWORD@HOST -hostkey=*\" \"COMMAND\" ... "
        "\"exit\"\n"
        "Commands: open, get [-preservetime] REMOTE [LOCAL], put [-preservetime] LOCAL... REMOTE,\n"
        "          option batch|confirm VALUE, close, exit\n"
        "HOST must be a loopback address. REMOTE paths lie below /media/usbstick/.\n"
        "Without \"exit\" the remaining commands are read from standard input."));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        usage();
        return 1;
    }

    QStringList commands;
    bool commandSwitch = false;
    for (const QString& argument : arguments) {
        const QString lower = argument.toLower();
        if (lower == QLatin1String("/help") || lower == QLatin1String("/?")) {
            usage();
            return 0;
        }
        if (lower == QLatin1String("/command")) {
            commandSwitch = true;
        } else if (lower.startsWith(QLatin1String("/ini=")) ||
                   lower.startsWith(QLatin1String("/log=")) ||
                   lower.startsWith(QLatin1String("/loglevel="))) {
            continue;
        } else if (argument.startsWith(QLatin1Char('/')) && !commandSwitch) {
            say(QStringLiteral("Unknown switch '%1'.").arg(argument));
            return 1;
        } else if (commandSwitch) {
            commands.append(argument);
        } else {
            say(QStringLiteral("Unexpected parameter '%1' (script commands follow /command).")
                    .arg(argument));
            return 1;
        }
    }
    if (!commandSwitch || commands.isEmpty()) {
        say(QStringLiteral("No script commands: expected /command \"open ...\" ... \"exit\"."));
        usage();
        return 1;
    }

    Session session;
    try {
        for (const QString& command : commands) {
            if (!session.run(command))
                return 0;
        }
        // Like the console client, go on with commands typed at its prompt until "exit".
        std::string line;
        while (true) {
            std::fputs("winscp> ", stdout);
            std::fflush(stdout);
            if (!std::getline(std::cin, line))
                return 0;
            if (!session.run(QString::fromLocal8Bit(line.c_str())))
                return 0;
        }
    } catch (const Failure& failure) {
        say(failure.text);
        return 1;
    }
}
