// Finds the words of an HTML page that a spell checker should see: text
// outside tags, with entities, Internet and mail addresses, the contents of
// script and style elements and quoted lines (starting with ">") left out.
#pragma once

#include <QString>

namespace Quorvant {

struct SpellWord
{
    qsizetype offset = -1;  // -1: no more words
    qsizetype length = 0;
    bool found() const { return offset >= 0; }
};

class TSpellWordWalker
{
public:
    // html: tags and what they hold are skipped; otherwise every character counts.
    // addresses: web and mail addresses are skipped.
    TSpellWordWalker(const QString &text, bool html, bool addresses = true);

    // The next word at or after from; offsets index text.
    SpellWord next(qsizetype from) const;

private:
    qsizetype skipTag(qsizetype at) const;
    qsizetype skipAddress(qsizetype at) const;
    bool addressStarts(qsizetype at) const;
    bool quotedLineStarts(qsizetype at) const;
    qsizetype lineEnd(qsizetype at) const;

    // Held, not referred to: a walker made on a temporary stays valid (the
    // characters are shared, not copied).
    const QString m_text;
    bool m_html;
    bool m_addresses;
};

} // namespace Quorvant
