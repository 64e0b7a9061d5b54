#include "journal/JournalPlace.h"

#include <QStringList>

namespace {

const QStringList kSslModes = {QStringLiteral("disable"), QStringLiteral("allow"),     QStringLiteral("prefer"),
                               QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// A value goes into libpq's connection string as it is: blanks, quotes, backslashes and the
// driver's ';' separator would change what the string says, so they are refused instead.
bool plain(const QString &value) {
    for (const QChar c : value) {
        if (c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char('\\') || c == QLatin1Char(';') ||
            c == QLatin1Char('=') || c.category() == QChar::Other_Control) {
            return false;
        }
    }
    return true;
}

} // namespace

QString JournalPlace::Describe() const {
    if (!server) {
        return QStringLiteral("the check journal file on this computer");
    }
    if (!service.isEmpty()) {
        return QStringLiteral("the server of service %1").arg(service);
    }
    QString text = QStringLiteral("database %1 on %2")
                       .arg(database.isEmpty() ? QStringLiteral("(your user name)") : database,
                            host.isEmpty() ? QStringLiteral("this computer") : host);
    if (port != 0) {
        text += QStringLiteral(", port %1").arg(port);
    }
    if (!user.isEmpty()) {
        text += QStringLiteral(", as %1").arg(user);
    }
    return text;
}

QString JournalPlace::Fault() const {
    if (!server) {
        return QString();
    }
    if (service.isEmpty() && host.isEmpty() && database.isEmpty()) {
        return QStringLiteral("Type a service name, or the server's host and database.");
    }
    const struct {
        const QString &value;
        const char *name;
    } fields[] = {{service, "service name"}, {host, "host"}, {database, "database"}, {user, "user"}};
    for (const auto &field : fields) {
        if (!plain(field.value)) {
            return QStringLiteral(
                       "The %1 \"%2\" holds a blank, a quote, a backslash, '=' or ';'. Type it without them.")
                .arg(QLatin1String(field.name), field.value);
        }
    }
    if (port < 0 || port > 65535) {
        return QStringLiteral("The port %1 is not a port number. Type a number from 1 to 65535, or leave it empty.")
            .arg(port);
    }
    if (!sslMode.isEmpty() && !kSslModes.contains(sslMode)) {
        return QStringLiteral("The SSL mode \"%1\" is not one libpq knows. Choose one of %2.")
            .arg(sslMode, kSslModes.join(QStringLiteral(", ")));
    }
    return QString();
}

QString JournalPlace::ConnectOptions() const {
    // A server that cannot be reached is reported after five seconds, not libpq's endless wait, and
    // a network that goes quiet mid-run within about fifteen, not the quarter hour TCP would wait.
    QStringList options = {QStringLiteral("connect_timeout=5"),     QStringLiteral("application_name=Quillane"),
                           QStringLiteral("keepalives=1"),          QStringLiteral("keepalives_idle=10"),
                           QStringLiteral("keepalives_interval=3"), QStringLiteral("keepalives_count=3"),
                           QStringLiteral("tcp_user_timeout=15000")};
    if (!service.isEmpty()) {
        options << QStringLiteral("service=%1").arg(service);
    }
    if (!sslMode.isEmpty()) {
        options << QStringLiteral("sslmode=%1").arg(sslMode);
    }
    return options.join(QLatin1Char(';'));
}

FileResult LoadJournalPlace(Files &files, JournalPlace *place) {
    *place = JournalPlace();
    if (files.FileLen(kJournalPlaceFile) < 0) {
        return FileResult::Ok();
    }
    QByteArray bytes;
    if (FileResult read = files.ReadWhole(kJournalPlaceFile, bytes); !read) {
        return read;
    }
    JournalPlace read;
    const QString text = QString::fromUtf8(bytes);
    const auto damaged = [&files](const QString &why) {
        return FileResult::Fail(QStringLiteral("The journal's place %1 cannot be read: %2. The check journal file on "
                                               "this computer is used; open Journal to choose the place again.")
                                    .arg(files.FullPath(kJournalPlaceFile), why));
    };
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            return damaged(QStringLiteral("the line \"%1\" is not key=value").arg(line));
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Engine")) {
            if (value != QLatin1String("file") && value != QLatin1String("server")) {
                return damaged(QStringLiteral("the engine \"%1\" is neither file nor server").arg(value));
            }
            read.server = value == QLatin1String("server");
        } else if (key == QLatin1String("Service")) {
            read.service = value;
        } else if (key == QLatin1String("Host")) {
            read.host = value;
        } else if (key == QLatin1String("Port")) {
            bool ok = value.isEmpty();
            read.port = value.isEmpty() ? 0 : value.toInt(&ok);
            if (!ok) {
                return damaged(QStringLiteral("the port \"%1\" is not a number").arg(value));
            }
        } else if (key == QLatin1String("Database")) {
            read.database = value;
        } else if (key == QLatin1String("User")) {
            read.user = value;
        } else if (key == QLatin1String("SslMode")) {
            read.sslMode = value;
        }
    }
    if (const QString fault = read.Fault(); !fault.isEmpty()) {
        return damaged(fault);
    }
    *place = read;
    return FileResult::Ok();
}

FileResult SaveJournalPlace(Files &files, const JournalPlace &place) {
    if (const QString fault = place.Fault(); !fault.isEmpty()) {
        return FileResult::Fail(fault);
    }
    const QString text =
        QStringLiteral("[Journal]\nEngine=%1\nService=%2\nHost=%3\nPort=%4\nDatabase=%5\nUser=%6\n"
                       "SslMode=%7\n")
            .arg(place.server ? QStringLiteral("server") : QStringLiteral("file"), place.service, place.host,
                 place.port == 0 ? QString() : QString::number(place.port), place.database, place.user, place.sslMode);
    return files.ReplaceContents(kJournalPlaceFile, text.toUtf8());
}
