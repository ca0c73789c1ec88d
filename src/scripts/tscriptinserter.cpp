#include "tscriptinserter.h"

#include "messageservice.h"
#include "tagplacement.h"
#include "editortypes.h"
#include "textfileformat.h"
#include "toolkitglobals.h"

namespace Quorvant {

namespace {

const QString PutHead = QStringLiteral("<!--<PUT-HEAD>-->");
const QString PutBody = QStringLiteral("<!--<PUT-BODY>-->");
const QString AlertMarker = QStringLiteral("<!--<ALERT-MESSAGE>-->");
const QString StopRecording = QStringLiteral("<!--<STOP-RECORDING>-->");

QString withoutSpaces(const QString &line)
{
    QString out = line;
    out.remove(u' ');
    return out;
}

// Restores the tag-case switch however the insertion ends.
struct NoCaseChange
{
    bool previous = gNoCaseChange;
    NoCaseChange() { gNoCaseChange = true; }
    ~NoCaseChange() { gNoCaseChange = previous; }
};

} // namespace

TScriptInserter::TScriptInserter(ITextBuffer *DreamMemo, AlertBox alert)
    : m_memo(DreamMemo)
    , m_alert(std::move(alert))
{
    if (!m_alert)
        m_alert = [](const QString &text) { MessageService::information(nullptr, text); };
}

QString TScriptInserter::markerOf(const QString &line)
{
    const QString m = withoutSpaces(line).toUpper();
    for (const QString *marker : {&PutHead, &PutBody, &AlertMarker, &StopRecording}) {
        if (m == *marker)
            return *marker;
    }
    return {};
}

TScriptParts TScriptInserter::parse(const QStringList &fileLines)
{
    TScriptParts parts;
    qsizetype start = fileLines.size();
    for (qsizetype i = 0; i < fileLines.size(); ++i) {
        if (withoutSpaces(fileLines.at(i)) == QLatin1String("-->")) {
            start = i;
            break;
        }
    }
    bool head = false;
    bool body = false;
    bool alert = false;
    for (qsizetype i = start; i < fileLines.size(); ++i) {
        const QString &line = fileLines.at(i);
        const QString marker = markerOf(line);
        if (marker == StopRecording)
            head = body = alert = false;
        // Recording comes before the start markers are looked at, so a marker
        // line closes the section before it as that section's last line.
        if (head)
            parts.head.append(line);
        if (body)
            parts.body.append(line);
        if (alert)
            parts.alert.append(line);
        if (marker == PutHead) {
            head = true;
            body = alert = false;
        } else if (marker == PutBody) {
            body = true;
            head = alert = false;
        } else if (marker == AlertMarker) {
            alert = true;
            head = body = false;
        }
    }
    return parts;
}

void TScriptInserter::InsertScript(const QString &FileName)
{
    QByteArray bytes;
    if (!readDataFile(FileName, &bytes, nullptr))
        return;
    const TScriptParts parts = parse(splitTextLines(decodeTextFile(bytes).text));
    AlertMessage = parts.alert;
    if (m_memo && !m_memo->isReadOnly()) {
        m_memo->beginUndoAction();
        InsertUnderTag(QStringLiteral("<HEAD>"), parts.head);
        InsertUnderTag(QStringLiteral("<BODY>"), parts.body);
        m_memo->endUndoAction();
    }
    // A list holds text as soon as it holds a line, even an empty one.
    if (!AlertMessage.isEmpty())
        m_alert(AlertMessage.join(QStringLiteral("\r\n")));
    AlertMessage.clear();
}

void TScriptInserter::InsertUnderTag(const QString &TagName, const QStringList &SL)
{
    if (!m_memo || TagName.isEmpty() || SL.isEmpty())
        return;
    const NoCaseChange noCase;
    const QString tag = TagName.toUpper();
    int found = -1;
    const int count = m_memo->lineCount();
    for (int i = 0; i < count; ++i) {
        if (m_memo->line(i).toUpper().contains(tag)) {
            found = i;
            break;
        }
    }
    m_memo->beginUndoAction();
    if (found >= 0) {
        if (found + 1 < count) {
            m_memo->setCaretPoint({0, found + 1});
        } else {
            // The tag line is the last one: the block goes on a new line below it.
            m_memo->setCaretPoint({int(m_memo->line(found).size()), found});
            m_memo->insertLine();
        }
    } else {
        AlertMessage.append(TagName
                            + QStringLiteral(" Could not be found, inserted script at cursor position. - This could "
                                             "cause the script not to run."));
    }
    // The pieces follow one another at one place, so they go in as one text.
    QString block = QStringLiteral("<!-- ") + TagName + QStringLiteral(" Section of script -->");
    qsizetype size = block.size() + 40;
    for (const QString &line : SL)
        size += line.size() + 2;
    block.reserve(size);
    for (const QString &line : SL) {
        block += QStringLiteral("\r\n");
        block += line;
    }
    block += QStringLiteral("\r\n<!-- End ") + TagName + QStringLiteral(" Section of script -->");
    ptext(m_memo, block, QString());
    m_memo->insertLine();
    m_memo->endUndoAction();
}

} // namespace Quorvant
