// The list of the server's shared projects; double-clicking one asks for its
// password and joins it.
#pragma once

#include <QWidget>

#include <functional>

class QTreeWidget;

namespace Quorvant::Network {

class TProjectListing : public QWidget
{
    Q_OBJECT
public:
    explicit TProjectListing(QWidget *parent = nullptr);

    void setEntries(const QStringList &entries);
    QStringList entries() const;
    void joinSelected();

    std::function<void(const QString &project, const QString &password)> join;
    std::function<void()> requestList;
    std::function<void()> closed;

    QTreeWidget *ListView1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

} // namespace Quorvant::Network
