#include "quotaoptions.h"

#include <QCommandLineParser>

#include <limits>

namespace Halvorn {

QuotaOptions::QuotaOptions()
{
    const ServerQuotas defaults;
    auto option = [](const char *name, const char *text, qint64 value) {
        return QCommandLineOption(QString::fromLatin1(name),
                                  QStringLiteral("%1 Default: %2.").arg(QString::fromLatin1(text)).arg(value),
                                  QStringLiteral("N"), QString::number(value));
    };
    auto narrow = [&](const char *name, const char *text, int ServerQuotas::*field) {
        mOptions.append({option(name, text, defaults.*field), nullptr, field});
    };
    auto wide = [&](const char *name, const char *text, qint64 ServerQuotas::*field) {
        mOptions.append({option(name, text, defaults.*field), field, nullptr});
    };
    narrow("max-rooms-per-user", "Chat rooms one user may have created and open.", &ServerQuotas::roomsPerUser);
    narrow("max-rooms", "Chat rooms open on the server.", &ServerQuotas::rooms);
    narrow("max-projects-per-user", "Projects one user may own.", &ServerQuotas::projectsPerUser);
    narrow("max-projects", "Projects on the server.", &ServerQuotas::projects);
    narrow("max-files-per-project", "Files in one project.", &ServerQuotas::filesPerProject);
    wide("max-file-bytes", "Bytes of one file.", &ServerQuotas::bytesPerFile);
    wide("max-project-bytes", "Bytes of all files of one project.", &ServerQuotas::bytesPerProject);
    narrow("max-messages-per-second", "Chat and project chat messages one user may send a second; more are dropped "
           "and the sender is told.", &ServerQuotas::messagesPerSecond);
}

void QuotaOptions::addTo(QCommandLineParser &parser) const
{
    for (const Option &o : mOptions)
        parser.addOption(o.option);
}

bool QuotaOptions::read(const QCommandLineParser &parser, ServerQuotas &quotas, QString *error) const
{
    for (const Option &o : mOptions) {
        bool ok = false;
        const qint64 value = parser.value(o.option).toLongLong(&ok);
        // A count of 0 would shut a feature off for everyone; 0 bytes allows empty files.
        const qint64 least = o.narrow ? 1 : 0;
        const qint64 most = o.narrow ? std::numeric_limits<int>::max() : std::numeric_limits<qint64>::max();
        if (!ok || value < least || value > most) {
            *error = QStringLiteral("--%1 must be a whole number from %2 to %3")
                         .arg(o.option.names().first())
                         .arg(least)
                         .arg(most);
            return false;
        }
        if (o.narrow)
            quotas.*o.narrow = int(value);
        else
            quotas.*o.wide = value;
    }
    *error = quotas.problem();
    return error->isEmpty();
}

} // namespace Halvorn
