// A window listing names the server sends (chat channels, shared projects):
// it asks for the list each time it is shown, and double-clicking a name
// joins it.
#pragma once

#include <QWidget>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace Quorvant::Network {

class TServerListWindow : public QWidget
{
    Q_OBJECT
public:
    void setEntries(const QStringList &entries);
    QStringList entries() const;
    // Joins the selected entry and closes, when one is selected.
    virtual void joinSelected() = 0;

    std::function<void()> requestList;
    std::function<void()> closed;

    QTreeWidget *ListView1 = nullptr;

protected:
    TServerListWindow(QWidget *parent, const QString &objectName, const QString &title, const QString &column);
    QVBoxLayout *column() const { return m_column; }
    // The selected row, or nullptr.
    QTreeWidgetItem *selectedItem() const;

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QVBoxLayout *m_column = nullptr;
};

} // namespace Quorvant::Network
