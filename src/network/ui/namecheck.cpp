#include "namecheck.h"

#include "messageservice.h"

namespace Quorvant::Network {

namespace {
QString kindText(NameKind kind)
{
    switch (kind) {
    case NameKind::User:
        return QStringLiteral("user name");
    case NameKind::Room:
        return QStringLiteral("channel name");
    case NameKind::Project:
        return QStringLiteral("project name");
    case NameKind::File:
        return QStringLiteral("file name");
    }
    return {};
}
} // namespace

bool acceptName(QWidget *parent, const QString &name, NameKind kind)
{
    const QString problem = nameProblem(name, kind);
    if (problem.isEmpty())
        return true;
    MessageService::information(parent, QStringLiteral("The ") + kindText(kind) + QStringLiteral(" \"") + name
                                            + QStringLiteral("\" cannot be used. ") + problem);
    return false;
}

} // namespace Quorvant::Network
