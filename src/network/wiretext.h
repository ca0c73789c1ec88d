// Text as it travels between the client and the server: how bytes become a
// name, a password or a chat line, and which names are accepted. Shared by
// both ends so they never disagree.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace Quorvant::Network {

// Valid UTF-8 is read as UTF-8; anything else as Windows-1252 (the 8-bit
// text older clients send). Every byte keeps its own character: no byte is
// lost to a replacement character, so two different 8-bit texts never read
// as one (while "é" from an 8-bit client and from a UTF-8 one are the same).
QString decodeWireText(QByteArrayView bytes);

enum class NameKind { User, Room, Project, File };

// Why `name` cannot be used as a name of that kind, or an empty string when
// it can: names with control or format characters (Unicode Cc, Cf), line or
// paragraph separators, or with
// blanks at either end are refused everywhere, user names also with ':'
// (chat lines read "user: text").
QString nameProblem(const QString &name, NameKind kind);
inline bool isAcceptableName(const QString &name, NameKind kind) { return nameProblem(name, kind).isEmpty(); }

// A chat message as one line: line breaks, separators and other control or
// format characters become spaces, so the text cannot start a line of its own.
QString oneLineChatText(const QString &text);

} // namespace Quorvant::Network
