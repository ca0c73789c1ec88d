// Bookings kept in memory: what the network windows use until a booking
// store is given to them, and what tests use.
#pragma once

#include "networkbookings.h"

#include <QList>
#include <QString>

namespace Quorvant::Network {

class TMemoryBookings : public NetworkBookings
{
public:
    struct Booking
    {
        QString project, fileName, user;
        bool operator==(const Booking &) const = default;
    };

    void addBooking(const QString &project, const QString &fileName, const QString &user) override;
    void removeBooking(const QString &project, const QString &fileName, const QString &user) override;
    // A booking of the file in the project by any user (names ignore case).
    bool bookedOut(const QString &project, const QString &fileName) const;
    const QList<Booking> &bookings() const { return mBookings; }

private:
    QList<Booking> mBookings;
};

} // namespace Quorvant::Network
