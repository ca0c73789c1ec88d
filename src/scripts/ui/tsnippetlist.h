// The snippet list of the "Code Snippet" page: a row dragged onto the editor
// carries the snippet's two parts around one separator.
#pragma once

#include <QListWidget>

#include <functional>

namespace Quorvant {

class TSnippetList : public QListWidget
{
    Q_OBJECT
public:
    // body gives the text a row carries.
    TSnippetList(std::function<QString(int row)> body, QWidget *parent = nullptr);

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;

private:
    std::function<QString(int)> m_body;
};

} // namespace Quorvant
