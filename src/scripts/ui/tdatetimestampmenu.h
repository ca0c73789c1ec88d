// The "Date/Time stamp" submenu of the editor's pop-up menu: refilled with
// the moment's stamps each time the pop-up menu opens.
#pragma once

#include <QObject>

#include <functional>

class QDateTime;
class QMenu;

namespace Quorvant {

class TDateTimeStampMenu : public QObject
{
    Q_OBJECT
public:
    // insert receives the chosen stamp.
    TDateTimeStampMenu(QMenu *popup, std::function<void(const QString &)> insert);

    QMenu *menu() const { return m_menu; }
    void refill(const QDateTime &when);

private:
    QMenu *m_menu;
    std::function<void(const QString &)> m_insert;
};

} // namespace Quorvant
