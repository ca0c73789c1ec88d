// Direct connections of a test to the server's database, beside the server.
#pragma once

#include "serverstore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

// Runs `work` on a connection of its own to `database` (a SQLite file or a
// PostgreSQL URL), closed afterwards.
template<typename Work>
void withConnection(const QString &database, Work work)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db;
        if (Halvorn::isPostgresUrl(database)) {
            QString error;
            const auto address = Halvorn::parsePostgresUrl(database, &error);
            ASSERT_TRUE(address.has_value()) << error.toStdString();
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setUserName(address->user);
            db.setHostName(address->host);
            db.setPort(address->port);
            db.setDatabaseName(address->database);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(database);
        }
        ASSERT_TRUE(db.open());
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The first column of the first row `sql` gives, or an invalid value.
inline QVariant sqlValue(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}
