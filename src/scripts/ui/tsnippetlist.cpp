#include "tsnippetlist.h"

#include "editortypes.h"

#include <QMimeData>

namespace Quorvant {

TSnippetList::TSnippetList(std::function<QString(int)> body, QWidget *parent)
    : QListWidget(parent)
    , m_body(std::move(body))
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QStringList TSnippetList::mimeTypes() const
{
    return {QLatin1String(SnippetMimeType)};
}

QMimeData *TSnippetList::mimeData(const QList<QListWidgetItem *> &items) const
{
    if (items.isEmpty() || !m_body)
        return nullptr;
    auto *mime = new QMimeData;
    mime->setData(QLatin1String(SnippetMimeType), m_body(row(items.first())).toUtf8());
    return mime;
}

} // namespace Quorvant
