// The list of the server's chat channels; double-clicking one joins it.
#pragma once

#include <QWidget>

#include <functional>

class QTreeWidget;

namespace Quorvant::Network {

class TChatChannelListMenu : public QWidget
{
    Q_OBJECT
public:
    explicit TChatChannelListMenu(QWidget *parent = nullptr);

    void setEntries(const QStringList &entries);
    QStringList entries() const;
    // Joins the selected entry and closes, when one is selected.
    void joinSelected();

    std::function<void(const QString &room)> join;
    std::function<void()> requestList;
    std::function<void()> closed;

    QTreeWidget *ListView1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

} // namespace Quorvant::Network
