// The SCRIPT element the "Define a Java Script..." dialog writes.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

class TDefineScript
{
public:
    static const QStringList &languages();
    static const QStringList &types();
    // Five lines, each followed by CR LF. An empty (or blank) value leaves
    // its attribute out: an empty src would stop the inline code from
    // running. The others are written escaped for their double quotes.
    static QString text(const QString &language, const QString &src, const QString &type, const QString &code);
};

} // namespace Quorvant
