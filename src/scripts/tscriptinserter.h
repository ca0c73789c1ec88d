// Puts a script template into a document: the template's marker comments
// route its lines to the document's HEAD, its BODY and a note for the user.
#pragma once

#include "textbuffer.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Quorvant {

// The parts of a template file, as routed by its marker comments.
struct TScriptParts
{
    QStringList head;
    QStringList body;
    QStringList alert;
};

class TScriptInserter
{
public:
    // Shows the collected note; an information box by default.
    using AlertBox = std::function<void(const QString &text)>;
    explicit TScriptInserter(ITextBuffer *DreamMemo, AlertBox alert = {});

    // Inserts the template file's head and body parts as one undo step and
    // shows the notes; nothing at all when the file does not exist.
    void InsertScript(const QString &FileName);
    // Inserts SL under the first line that contains TagName (ignoring case),
    // or at the caret with a note when there is none.
    void InsertUnderTag(const QString &TagName, const QStringList &SL);

    // Splits the lines of a template file (everything before its "-->" line
    // is header and is skipped).
    static TScriptParts parse(const QStringList &fileLines);
    // The marker a line stands for, or an empty string.
    static QString markerOf(const QString &line);

    QStringList AlertMessage;

private:
    ITextBuffer *m_memo;
    AlertBox m_alert;
};

} // namespace Quorvant
