// HTML Tidy's report lines as marks in a margin of the editor, with the
// message as the mark's tooltip. A mark goes when its line is edited or the
// document is tidied again.
#pragma once

#include "tidyreport.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

class QsciScintilla;

namespace Quorvant {

class TDCMemo;
class TMemoSource;

class TTidyMarks : public QObject
{
    Q_OBJECT
public:
    static constexpr int WarningMarker = 20;
    static constexpr int ErrorMarker = 21;
    static constexpr int Margin = 3;
    static constexpr int MarginWidth = 16;

    explicit TTidyMarks(TDCMemo *memo, QObject *parent = nullptr);

    // Replaces the buffer's marks by one per message (lines from 1; lines
    // past the end are left out).
    void setMarks(TMemoSource *buffer, const QList<TTidyMessage> &messages);
    // updateMargin false leaves the margin as it is for now.
    void clear(TMemoSource *buffer, bool updateMargin = true);

    // The buffer's marks: current line (from 0) and message, in line order.
    struct Mark
    {
        int line;
        TTidyMessage message;
    };
    QList<Mark> marks(TMemoSource *buffer) const;
    // The messages of the marks on a line (from 0).
    QStringList messagesAt(TMemoSource *buffer, int line) const;
    // Moves the caret of the shown buffer to the next marked line after the
    // caret's, from the top again after the last; the line, or -1 with no marks.
    int gotoNextMark();

    // The tooltip text at a point of the editor widget; empty outside the margins.
    QString toolTipAt(const QPoint &pos) const;

    static QString describe(const TTidyMessage &m);
    // Shows the margin while the shown buffer has marks; call it when the
    // view shows another buffer.
    void updateMargin();

Q_SIGNALS:
    void marksChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        int handle;
        TTidyMessage message;
    };
    TMemoSource *shown() const;
    void changeComing(int position, int type, int length);
    void dropHandles(QPointer<TMemoSource> buffer, QList<int> handles);
    static int markerFor(const TTidyMessage &m);

    QPointer<TDCMemo> m_memo;
    QHash<TMemoSource *, QList<Entry>> m_entries;
    QSet<TMemoSource *> m_watched;
};

} // namespace Quorvant
