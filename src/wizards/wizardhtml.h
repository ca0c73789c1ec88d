// What every element wizard writes the same way: attributes and the hand-over
// of the finished pieces to the document.
#pragma once

#include "textbuffer.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

// A start text and an end text for ptext.
struct MarkupPair
{
    QString start;
    QString end;
    friend bool operator==(const MarkupPair &, const MarkupPair &) = default;
};

// One space, the name as given, "=" and the value between double quotes,
// written as typed (not trimmed, not escaped).
QString htmlAttribute(const QString &name, const QString &value);

// The attribute, or nothing when the value is empty.
QString optionalAttribute(const QString &name, const QString &value);

// Hands each piece in turn to ptext as its start text, so each lands behind
// the one before it, all as one undo step. Nothing happens on a null buffer.
void insertPieces(ITextBuffer *buffer, const QStringList &pieces);

} // namespace Quorvant
