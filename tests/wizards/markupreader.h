// Reads back what the wizards write, as a browser would: a start tag's
// attributes with their character references decoded, a single-quoted
// script string, and the percent-encoded parts of a mailto: link. Kept
// apart from the code under test so the tests check its output, not its
// own rules.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace Quorvant::Test {

// The text with its character references ("&amp;", "&#233;", "&#xE9;" and
// the few names the tests need) replaced by the characters they stand for.
inline QString decodeReferences(const QString &text)
{
    static const QHash<QString, QString> names = {{QStringLiteral("amp"), QStringLiteral("&")},
                                                  {QStringLiteral("quot"), QStringLiteral("\"")},
                                                  {QStringLiteral("lt"), QStringLiteral("<")},
                                                  {QStringLiteral("gt"), QStringLiteral(">")},
                                                  {QStringLiteral("eacute"), QStringLiteral("\u00e9")}};
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text.at(i) == u'&' ? text.indexOf(u';', i) : -1;
        if (semicolon > i + 1) {
            const QString ref = text.mid(i + 1, semicolon - i - 1);
            QString replacement;
            bool ok = false;
            char32_t code = 0;
            if (ref.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
                code = ref.mid(2).toUInt(&ok, 16);
            else if (ref.startsWith(u'#'))
                code = ref.mid(1).toUInt(&ok, 10);
            if (ok)
                replacement = QString::fromUcs4(&code, 1);
            else if (names.contains(ref)) {
                replacement = names.value(ref);
                ok = true;
            }
            if (ok) {
                out += replacement;
                i = semicolon;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// One start tag read from the front of a text.
struct ReadTag
{
    QString name;
    QList<QPair<QString, QString>> attributes;  // as named, values decoded
    qsizetype end = -1;                         // just after its '>', -1 when it has none

    QStringList names() const
    {
        QStringList list;
        for (const auto &a : attributes)
            list << a.first;
        return list;
    }
    QString value(const QString &attributeName) const
    {
        for (const auto &a : attributes) {
            if (a.first.compare(attributeName, Qt::CaseInsensitive) == 0)
                return a.second;
        }
        return {};
    }
};

// Reads the start tag beginning at text[from] == '<' the way an HTML
// tokenizer does: names end at a blank, '=', '/' or '>'; a value is double-
// or single-quoted or runs to a blank or '>'.
inline ReadTag readStartTag(const QString &text, qsizetype from = 0)
{
    ReadTag tag;
    const qsizetype n = text.size();
    auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    qsizetype i = from + 1;
    while (i < n && !isBlank(text.at(i)) && text.at(i) != u'>')
        tag.name += text.at(i++);
    while (i < n) {
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i >= n)
            break;
        if (text.at(i) == u'>') {
            tag.end = i + 1;
            break;
        }
        QString name;
        while (i < n && !isBlank(text.at(i)) && text.at(i) != u'=' && text.at(i) != u'>')
            name += text.at(i++);
        QString value;
        if (i < n && text.at(i) == u'=') {
            ++i;
            if (i < n && (text.at(i) == u'"' || text.at(i) == u'\'')) {
                const QChar quote = text.at(i);
                const qsizetype close = text.indexOf(quote, i + 1);
                const qsizetype stop = close < 0 ? n : close;
                value = text.mid(i + 1, stop - i - 1);
                i = close < 0 ? n : close + 1;
            } else {
                while (i < n && !isBlank(text.at(i)) && text.at(i) != u'>')
                    value += text.at(i++);
            }
        }
        tag.attributes.append({name, decodeReferences(value)});
    }
    return tag;
}

// The single-quoted script strings of a text, their escapes undone.
inline QStringList readScriptStrings(const QString &text)
{
    QStringList strings;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'\'')
            continue;
        QString s;
        for (++i; i < text.size() && text.at(i) != u'\''; ++i) {
            if (text.at(i) == u'\\' && i + 1 < text.size()) {
                const QChar e = text.at(++i);
                s += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e;
            } else {
                s += text.at(i);
            }
        }
        strings << s;
    }
    return strings;
}

// The address and the header fields of a mailto: link, percent-decoded as
// UTF-8; the field names as written.
struct ReadMailto
{
    QString address;
    QList<QPair<QString, QString>> fields;
};

inline ReadMailto readMailto(const QString &href)
{
    ReadMailto m;
    QString rest = href.mid(QStringLiteral("mailto:").size());
    const qsizetype query = rest.indexOf(u'?');
    m.address = QUrl::fromPercentEncoding(rest.left(query < 0 ? rest.size() : query).toUtf8());
    if (query < 0)
        return m;
    for (const QString &field : rest.mid(query + 1).split(u'&')) {
        const qsizetype eq = field.indexOf(u'=');
        m.fields.append({field.left(eq), QUrl::fromPercentEncoding(field.mid(eq + 1).toUtf8())});
    }
    return m;
}

// The tag names and attribute names of every tag in the text, in order:
// what stays the same when only a value changes.
inline QStringList tagShape(const QString &html)
{
    QStringList shape;
    for (qsizetype i = html.indexOf(u'<'); i >= 0; i = html.indexOf(u'<', i + 1)) {
        const ReadTag tag = readStartTag(html, i);
        shape << tag.name + QLatin1Char('(') + tag.names().join(u' ') + QLatin1Char(')');
        if (tag.end < 0)
            break;
        i = tag.end - 1;
    }
    return shape;
}

// Values a user may type that markup written as typed cannot hold: quotes,
// ampersands, '<', a backslash, non-ASCII text, and references the user
// typed on purpose (which a browser reads as their characters).
inline QStringList awkwardValues()
{
    return {QStringLiteral("Plasma cloud \"test\""),
            QStringLiteral("rye & sourdough?"),
            QStringLiteral("a<b>c</script>"),
            QString::fromUtf16(u"Gr\u00fc\u00dfe, \u65e5\u672c \U0001F600"),
            QStringLiteral("it's 'quoted' \\ too"),
            QStringLiteral("caf&eacute; &amp; co")};
}

// One field of a wizard: the markup written with the field set to a typed
// value, and that field's value read back from the markup.
struct FieldCheck
{
    const char *field;
    std::function<QString(const QString &typed)> write;
    std::function<QString(const QString &html)> read;
    // Read back through the attribute's character references (an HTML
    // attribute), or as written (script text, percent-encoded parts).
    bool throughReferences = true;
    std::function<QStringList(const QString &html)> shape = tagShape;
};

// Every field, set to every awkward value, reads back as typed, and the
// markup keeps the shape it has for a plain value (no attribute ended early,
// no tag made of a value).
inline void expectEveryFieldReadsBack(const QList<FieldCheck> &checks)
{
    for (const FieldCheck &c : checks) {
        const QStringList plain = c.shape(c.write(QStringLiteral("x")));
        for (const QString &typed : awkwardValues()) {
            const QString html = c.write(typed);
            EXPECT_EQ(c.read(html), c.throughReferences ? decodeReferences(typed) : typed)
                << c.field << ": " << qPrintable(html);
            EXPECT_EQ(c.shape(html), plain) << c.field << ": " << qPrintable(html);
        }
    }
}

// The value of an attribute of the first tag of that name in the text.
inline QString attributeOf(const QString &html, const QString &tagName, const QString &attribute)
{
    for (qsizetype i = html.indexOf(u'<'); i >= 0; i = html.indexOf(u'<', i + 1)) {
        const ReadTag tag = readStartTag(html, i);
        if (tag.name.compare(tagName, Qt::CaseInsensitive) == 0)
            return tag.value(attribute);
    }
    return QStringLiteral("(no %1 tag)").arg(tagName);
}

} // namespace Quorvant::Test
