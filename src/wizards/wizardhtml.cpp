#include "wizardhtml.h"

#include "attributetext.h"
#include "tagplacement.h"

#include <QUrl>

namespace Quorvant {

QString htmlAttribute(const QString &name, const QString &value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + attributeText(value) + QLatin1Char('"');
}

QString optionalAttribute(const QString &name, const QString &value)
{
    return value.isEmpty() ? QString() : htmlAttribute(name, value);
}

QString scriptStringText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u'\'')
            out += QLatin1Char('\\') + c;
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'/' && i > 0 && text.at(i - 1) == u'<')
            out += QLatin1String("\\/");
        else
            out += c;
    }
    return out;
}

QString mailtoText(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArrayLiteral("!$'()*+,;:@")));
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
