#include "filedropfilter.h"

#include "applicationshell.h"
#include "desktoptexts.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace Quorvant {

TFileDropFilter::TFileDropFilter(TForm1 &form)
    : QObject(&form)
    , m_form(form)
{
    setObjectName(QStringLiteral("FileDropFilter"));
    // The form takes drops over parts that take none themselves; the
    // application-wide filter sees the ones meant for the editor too.
    form.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

QStringList TFileDropFilter::localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    }
    return paths;
}

bool TFileDropFilter::isOnForm(QObject *watched) const
{
    auto *w = qobject_cast<QWidget *>(watched);
    return w && w->window() == &m_form;
}

bool TFileDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!isOnForm(watched))
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = localPaths(drop->mimeData());
    if (paths.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        openDropped(paths);
    return true;
}

void TFileDropFilter::openDropped(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            MessageService::warning(&m_form, DesktopText::folderDropped(path));
        else
            files.append(path);
    }
    if (files.isEmpty())
        return;
    if (TApplicationShell *shell = TApplicationShell::instance(); shell && shell->Form1() == &m_form) {
        shell->openFiles(files);
        return;
    }
    QStringList missing;
    for (const QString &f : files) {
        if (!QFileInfo(f).isFile())
            missing.append(f);
        else
            m_form.documents()->openOrShow(f);
    }
    for (const QString &f : missing)
        MessageService::warning(&m_form, QStringLiteral("The file %1 does not exist, so it was not opened.").arg(f));
}

} // namespace Quorvant
