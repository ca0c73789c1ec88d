// The lists of server variables ("ASPData.Dat", "SSIData.Dat"): one
// variable a line, name, ",", description; and the texts that insert one.
#pragma once

#include <QList>
#include <QString>

namespace Quorvant {

struct TServerVariable
{
    QString Name;
    QString Description;
    friend bool operator==(const TServerVariable &, const TServerVariable &) = default;
};

enum class ServerVariableKind { ASP, SSI };

class TServerVariables
{
public:
    // The variables of the file, in file order; false (and *list empty) when
    // the file cannot be read.
    [[nodiscard]] static bool LoadASPSSIList(const QString &FileName, QList<TServerVariable> *list);
    // One line; false for a line that names no variable.
    static bool parseLine(const QString &line, TServerVariable *variable);
    // The start text that inserts the variable, before tag case.
    static QString insertText(ServerVariableKind kind, const QString &name);
    // "ASPData.Dat" or "SSIData.Dat".
    static QString dataFileName(ServerVariableKind kind);
};

} // namespace Quorvant
