#include "wiretext.h"

#include "textfileformat.h"

#include <QByteArray>
#include <QList>

namespace Quorvant::Network {

namespace {

// Control and format characters (Cc, Cf) and the line and paragraph
// separators: what could break a line or hide what a text says.
bool isControlOrFormat(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

bool isBlank(QChar c)
{
    return c.isSpace() || c.category() == QChar::Separator_Space;
}

} // namespace

QString decodeWireText(QByteArrayView bytes)
{
    if (isValidUtf8(bytes.data(), bytes.size()))
        return QString::fromUtf8(bytes);
    return decodeWindows1252(bytes.toByteArray());
}

QString nameProblem(const QString &name, NameKind kind)
{
    if (name.isEmpty())
        return QStringLiteral("The name is empty.");
    if (isBlank(name.front()) || isBlank(name.back()))
        return QStringLiteral("A name cannot begin or end with a blank.");
    for (const uint c : name.toUcs4()) {
        if (isControlOrFormat(char32_t(c)))
            return QStringLiteral("A name cannot hold control or formatting characters.");
    }
    if (kind == NameKind::User && name.contains(QLatin1Char(':')))
        return QStringLiteral("A user name cannot hold ':'.");
    return {};
}

QString oneLineChatText(const QString &text)
{
    QList<uint> characters = text.toUcs4();
    for (uint &c : characters) {
        if (isControlOrFormat(char32_t(c)))
            c = ' ';
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData()), characters.size());
}

} // namespace Quorvant::Network
