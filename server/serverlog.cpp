#include "serverlog.h"

#include <QDateTime>

namespace Halvorn {

bool ServerLog::open(const QString &path)
{
    mFile.setFileName(path);
    return mFile.open(QIODevice::Append | QIODevice::Text);
}

void ServerLog::write(const QString &line)
{
    if (!mFile.isOpen())
        return;
    mFile.write((QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8());
    mFile.flush();
}

} // namespace Halvorn
