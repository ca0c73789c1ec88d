// Opens files dropped on the main window from a file manager (local files of
// a text/uri-list), in the order dropped, the way files named on the command
// line open: an open file is shown, not opened twice. Folders are refused.
#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;

namespace Quorvant {

class TForm1;

class TFileDropFilter : public QObject
{
    Q_OBJECT
public:
    explicit TFileDropFilter(TForm1 &form);

    // The local paths a drop carries, in order; empty when it carries none.
    static QStringList localPaths(const QMimeData *mime);
    // Opens the files; refuses the folders with one message each.
    void openDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isOnForm(QObject *watched) const;

    TForm1 &m_form;
};

} // namespace Quorvant
