#include "taglibtestsupport.h"

#include <QFile>

void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace Quorvant::Test {

void setWithCaret(ITextBuffer *buffer, const QString &marked)
{
    const qsizetype at = marked.indexOf(u'|');
    QString text = marked;
    text.remove(at, 1);
    buffer->setText(text);
    const QString before = marked.left(at);
    const int y = int(before.count(QStringLiteral("\r\n")));
    const int x = int(before.size() - (before.lastIndexOf(u'\n') + 1));
    buffer->setCaretPoint({x, y});
    buffer->setModified(false);
}

QString withCaret(const ITextBuffer *buffer)
{
    QString out;
    const CaretPoint caret = buffer->caretPoint();
    for (int y = 0; y < buffer->lineCount(); ++y) {
        QString line = buffer->line(y);
        if (y == caret.y)
            line.insert(caret.x, u'|');
        out += (y ? QStringLiteral("\r\n") : QString()) + line;
    }
    return out;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace Quorvant::Test
