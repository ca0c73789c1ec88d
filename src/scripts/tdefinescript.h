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
    // Five lines, each followed by CR LF; every attribute is written, also
    // when it is empty.
    static QString text(const QString &language, const QString &src, const QString &type, const QString &code);
};

} // namespace Quorvant
