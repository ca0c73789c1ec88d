#include "tservervariables.h"

#include "editortypes.h"
#include "textfileformat.h"

namespace Quorvant {

bool TServerVariables::parseLine(const QString &line, TServerVariable *variable)
{
    if (line.size() < 2)
        return false;
    const qsizetype first = line.indexOf(u',');
    const QString name = first < 0 ? line : line.left(first);
    if (name.isEmpty())
        return false;
    variable->Name = name;
    variable->Description.clear();
    if (first >= 0) {
        const qsizetype second = line.indexOf(u',', first + 1);
        variable->Description = second < 0 ? line.mid(first + 1) : line.mid(first + 1, second - first - 1);
    }
    return true;
}

bool TServerVariables::LoadASPSSIList(const QString &FileName, QList<TServerVariable> *list)
{
    list->clear();
    QByteArray bytes;
    if (!readDataFile(FileName, &bytes, nullptr))
        return false;
    for (const QString &line : splitTextLines(decodeTextFile(bytes).text)) {
        TServerVariable v;
        if (parseLine(line, &v))
            list->append(v);
    }
    return true;
}

QString TServerVariables::insertText(ServerVariableKind kind, const QString &name)
{
    if (kind == ServerVariableKind::ASP)
        return QStringLiteral("<%= Request.ServerVariables(\"") + name + QStringLiteral("\") %>");
    return QStringLiteral("<!--#ECHO VAR=\"") + name + QStringLiteral("\" -->");
}

QString TServerVariables::dataFileName(ServerVariableKind kind)
{
    return kind == ServerVariableKind::ASP ? QStringLiteral("ASPData.Dat") : QStringLiteral("SSIData.Dat");
}

} // namespace Quorvant
