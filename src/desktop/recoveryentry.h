// One document kept for recovery: its text as typed, the file it belongs to
// (none for an untitled document), how that file is stored, and what the
// file looked like when the document last read or wrote it.
#pragma once

#include "diskstamp.h"
#include "textfileformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Quorvant {

class TRecoveryEntry
{
public:
    QString id;            // the entry's name in its session folder
    QString fileName;      // the document's file; empty when untitled
    TextFileFormat format; // encoding, BOM and line ends of that file
    QDateTime savedAt;
    DiskStamp disk;        // the file as the document last saw it
    QByteArray text;       // UTF-8, in the document's own line ends

    // The whole entry as stored: a header, then the text.
    QByteArray header() const { return header(contentHash(text)); }
    // The same with the text's hash already known.
    QByteArray header(quint64 textHash) const;
    // Checks the header, the length and the hash of the text; false with
    // the reason for anything cut or garbled.
    [[nodiscard]] static bool decode(const QByteArray &bytes, TRecoveryEntry *out, QString *why);

    // The caption it is offered under: the file name, or "Untitled".
    QString caption() const;
};

} // namespace Quorvant
