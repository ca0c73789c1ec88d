#include "wizardhtml.h"

#include "tagplacement.h"

namespace Quorvant {

QString htmlAttribute(const QString &name, const QString &value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + value + QLatin1Char('"');
}

QString optionalAttribute(const QString &name, const QString &value)
{
    return value.isEmpty() ? QString() : htmlAttribute(name, value);
}

void insertPieces(ITextBuffer *buffer, const QStringList &pieces)
{
    if (!buffer)
        return;
    buffer->beginUndoAction();
    for (const QString &piece : pieces)
        ptext(buffer, piece, QString());
    buffer->endUndoAction();
}

} // namespace Quorvant
