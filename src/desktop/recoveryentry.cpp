#include "recoveryentry.h"

#include <QFileInfo>
#include <QUrl>

namespace Quorvant {

namespace {

const QByteArray Magic = QByteArrayLiteral("QUORVANT RECOVERY 1");

QByteArray lineEndName(LineEndStyle s)
{
    return s == LineEndStyle::LF ? "lf" : s == LineEndStyle::CR ? "cr" : "crlf";
}

} // namespace

QByteArray TRecoveryEntry::header(quint64 textHash) const
{
    QByteArray h = Magic + '\n';
    h += "file=" + QUrl::toPercentEncoding(fileName) + '\n';
    h += QByteArray("encoding=") + (format.encoding == TextEncoding::Windows1252 ? "windows-1252" : "utf-8") + '\n';
    h += QByteArray("bom=") + (format.byteOrderMark ? "1" : "0") + '\n';
    h += "lineends=" + lineEndName(format.lineEnds) + '\n';
    h += "saved=" + savedAt.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    h += QByteArray("disk=%1 %2 %3 %4 %5 %6 %7\n")
             .replace("%1", disk.exists ? "1" : "0")
             .replace("%2", QByteArray::number(disk.size))
             .replace("%3", QByteArray::number(disk.mtimeNs))
             .replace("%4", QByteArray::number(disk.inode))
             .replace("%5", QByteArray::number(disk.device))
             .replace("%6", disk.hashKnown ? "1" : "0")
             .replace("%7", QByteArray::number(disk.hash));
    h += "length=" + QByteArray::number(text.size()) + '\n';
    h += "hash=" + QByteArray::number(textHash) + '\n';
    h += '\n';
    return h;
}

bool TRecoveryEntry::decode(const QByteArray &bytes, TRecoveryEntry *out, QString *why)
{
    auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    const qsizetype end = bytes.indexOf("\n\n");
    if (!bytes.startsWith(Magic + '\n') || end < 0)
        return fail(QStringLiteral("not a recovery file"));
    TRecoveryEntry e;
    qint64 length = -1;
    QByteArray hash;
    bool haveDisk = false;
    for (const QByteArray &line : bytes.left(end).split('\n').mid(1)) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            return fail(QStringLiteral("bad header line"));
        const QByteArray key = line.left(eq);
        const QByteArray value = line.mid(eq + 1);
        if (key == "file") {
            e.fileName = QUrl::fromPercentEncoding(value);
        } else if (key == "encoding") {
            e.format.encoding = value == "windows-1252" ? TextEncoding::Windows1252 : TextEncoding::Utf8;
        } else if (key == "bom") {
            e.format.byteOrderMark = value == "1";
        } else if (key == "lineends") {
            e.format.lineEnds = value == "lf" ? LineEndStyle::LF : value == "cr" ? LineEndStyle::CR : LineEndStyle::CRLF;
        } else if (key == "saved") {
            e.savedAt = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODateWithMs);
        } else if (key == "disk") {
            const QList<QByteArray> f = value.split(' ');
            if (f.size() != 7)
                return fail(QStringLiteral("bad disk line"));
            e.disk.exists = f[0] == "1";
            e.disk.size = f[1].toLongLong();
            e.disk.mtimeNs = f[2].toLongLong();
            e.disk.inode = f[3].toULongLong();
            e.disk.device = f[4].toULongLong();
            e.disk.hashKnown = f[5] == "1";
            e.disk.hash = f[6].toULongLong();
            // Another program's clock and ticks: let the bytes decide.
            e.disk.racy = true;
            haveDisk = true;
        } else if (key == "length") {
            bool ok = false;
            length = value.toLongLong(&ok);
            if (!ok)
                length = -1;
        } else if (key == "hash") {
            hash = value;
        }
    }
    const QByteArray text = bytes.mid(end + 2);
    if (length < 0 || text.size() != length)
        return fail(QStringLiteral("the text is %1 bytes, the header says %2").arg(text.size()).arg(length));
    if (hash != QByteArray::number(contentHash(text)))
        return fail(QStringLiteral("the text does not match its hash"));
    if (!haveDisk)
        return fail(QStringLiteral("no disk line"));
    e.disk.path = e.fileName;
    e.text = text;
    if (out)
        *out = e;
    return true;
}

QString TRecoveryEntry::caption() const
{
    return fileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(fileName).fileName();
}

} // namespace Quorvant
