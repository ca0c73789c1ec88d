#include "tdatetimestampmenu.h"

#include "tdatetimestamp.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>

namespace Quorvant {

TDateTimeStampMenu::TDateTimeStampMenu(QMenu *popup, std::function<void(const QString &)> insert)
    : QObject(popup)
    , m_insert(std::move(insert))
{
    setObjectName(QStringLiteral("DateTimeStampMenu"));
    popup->addSeparator();
    m_menu = popup->addMenu(QStringLiteral("Date/Time stamp"));
    m_menu->setObjectName(QStringLiteral("DateTimestamp1"));
    // The stamps show the moment the pop-up menu opened.
    connect(popup, &QMenu::aboutToShow, this, [this] { refill(QDateTime::currentDateTime()); });
    refill(QDateTime::currentDateTime());
}

void TDateTimeStampMenu::refill(const QDateTime &when)
{
    m_menu->clear();
    const QStringList stamps = TDateTimeStamp::stamps(when, TStampLocale::system());
    for (const QString &stamp : stamps) {
        QString caption = stamp;
        QAction *a = m_menu->addAction(caption.replace(u'&', QStringLiteral("&&")));
        QString text = stamp;
        text.remove(u'&');
        connect(a, &QAction::triggered, this, [this, text] {
            if (m_insert)
                m_insert(text);
        });
    }
}

} // namespace Quorvant
