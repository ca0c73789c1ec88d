#include "serverlog.h"

#include <QDateTime>

namespace Halvorn {

bool ServerLog::open(const QString &path, qint64 maxBytes)
{
    mPath = path;
    mMaxBytes = maxBytes;
    return openFile();
}

bool ServerLog::openFile()
{
    mFile.close();
    mFile.setFileName(mPath);
    return mFile.open(QIODevice::Append | QIODevice::Text, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool ServerLog::reopen()
{
    if (mPath.isEmpty())
        return false;
    const bool ok = openFile();
    if (ok)
        write(QStringLiteral("log reopened"));
    return ok;
}

void ServerLog::rotate()
{
    mFile.close();
    const QString previous = mPath + QStringLiteral(".1");
    QFile::remove(previous);
    QFile::rename(mPath, previous);
    openFile();
}

void ServerLog::write(const QString &line)
{
    if (!mFile.isOpen())
        return;
    const QByteArray bytes = (QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8();
    if (mMaxBytes > 0 && mFile.size() + bytes.size() > mMaxBytes) {
        rotate();
        if (!mFile.isOpen())
            return;
    }
    mFile.write(bytes);
    mFile.flush();
}

} // namespace Halvorn
