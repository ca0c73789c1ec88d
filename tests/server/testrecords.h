// Request records and reply lists as the server tests build and read them.
#pragma once

#include "networkrecords.h"
#include "wireformat.h"

#include <QStringList>

constexpr qint64 kMiB = 1024 * 1024;

inline QByteArray login(const QString &user, const QString &password)
{
    return Quorvant::Network::TLoginInfo{user, password}.toBytes();
}

inline QByteArray chatRecord(const QString &room, const QString &text = {})
{
    return Quorvant::Network::TNetworkChatRoom{QString(), room, text}.toBytes();
}

inline QByteArray projectRecord(const QString &project, const QString &file = {}, const QString &password = {},
                                const QString &user = {})
{
    Quorvant::Network::TNetworkProject p;
    p.ProjectName = project;
    p.UserName = user;
    p.FileName = file;
    p.Password = password;
    return p.toBytes();
}

// A header announcing a packet of `size` bytes, whatever follows it.
inline QByteArray packetHeader(const char *word, qint32 size)
{
    QByteArray h;
    Quorvant::Network::appendInt32(h, Quorvant::Network::kSerialNumber);
    Quorvant::Network::appendInt32(h, 0);
    h.append(word, 4);
    Quorvant::Network::appendInt32(h, size);
    return h;
}

inline QStringList decodeList(const QByteArray &payload)
{
    QStringList out;
    for (const QByteArray &f : Quorvant::Network::DecodeStringList(payload).value_or(QList<QByteArray>{}))
        out.append(QString::fromUtf8(f));
    return out;
}
