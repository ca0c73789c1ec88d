#include "serverprocess.h"

#include "serverstore.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

QString testPostgresServer()
{
    return qEnvironmentVariable("HALVORN_TEST_POSTGRESQL");
}

QString newPostgresDatabase()
{
    QString error;
    const std::optional<Halvorn::PostgresAddress> server = Halvorn::parsePostgresUrl(testPostgresServer(), &error);
    if (!server)
        return {};
    const QString name = QStringLiteral("halvorn_test_") + QUuid::createUuid().toString(QUuid::Id128);
    const QString connection = QStringLiteral("create-") + name;
    bool created = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setUserName(server->user);
        db.setHostName(server->host);
        db.setPort(server->port);
        db.setDatabaseName(server->database);
        created = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + name);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!created)
        return {};
    QUrl url(testPostgresServer());
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

QString testDatabase(const QTemporaryDir &dir)
{
    return testPostgresServer().isEmpty() ? dir.filePath(QStringLiteral("halvorn.db")) : newPostgresDatabase();
}

bool ServerProcess::start(const QString &database, const QStringList &extra)
{
    process.setProgram(program.isEmpty() ? QStringLiteral(HALVORN_SERVER_PATH) : program);
    process.setArguments(QStringList{"--port", "0", "--http-port", "0", "--database", database, "--listen",
                                     "127.0.0.1", "--hash-iterations", "1000"}
                         + extra);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    if (freedMemoryReturnsAtOnce) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QStringList asan = environment.value(QStringLiteral("ASAN_OPTIONS")).split(u':', Qt::SkipEmptyParts);
        asan.append(QStringLiteral("quarantine_size_mb=0"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), asan.join(u':'));
        process.setProcessEnvironment(environment);
    }
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    QByteArray out;
    while (!out.contains('\n')) {
        if (!process.waitForReadyRead(10000))
            return false;
        out += process.readAllStandardOutput();
    }
    const auto m = QRegularExpression(QStringLiteral("^READY PORT=(\\d+) HTTP_PORT=(\\d+)\\n")).match(QString::fromLatin1(out));
    if (!m.hasMatch())
        return false;
    port = quint16(m.captured(1).toUInt());
    httpPort = quint16(m.captured(2).toUInt());
    return true;
}

int ServerProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
