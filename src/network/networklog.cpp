#include "networklog.h"

#include <QStringList>

namespace Quorvant::Network {

TNetworkLog::TNetworkLog(QObject *parent)
    : QObject(parent)
{
}

void TNetworkLog::DebugOut(const QString &output)
{
    if (mText.size() > kCap)
        clear();
    if (!mText.isEmpty())
        mText += QLatin1Char('\n');
    mText += output;
    emit lineAdded(output);
}

void TNetworkLog::clear()
{
    mText.clear();
    emit cleared();
}

QStringList TNetworkLog::lines() const
{
    return mText.isEmpty() ? QStringList() : mText.split(QLatin1Char('\n'));
}

} // namespace Quorvant::Network
