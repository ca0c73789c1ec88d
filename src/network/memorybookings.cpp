#include "memorybookings.h"

namespace Quorvant::Network {

namespace {
bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

void TMemoryBookings::addBooking(const QString &project, const QString &fileName, const QString &user)
{
    for (const Booking &b : mBookings)
        if (same(b.project, project) && same(b.fileName, fileName) && same(b.user, user))
            return;
    mBookings.append({project, fileName, user});
}

void TMemoryBookings::removeBooking(const QString &project, const QString &fileName, const QString &user)
{
    mBookings.removeIf([&](const Booking &b) {
        return same(b.project, project) && same(b.fileName, fileName) && same(b.user, user);
    });
}

bool TMemoryBookings::bookedOut(const QString &project, const QString &fileName) const
{
    for (const Booking &b : mBookings)
        if (same(b.project, project) && same(b.fileName, fileName))
            return true;
    return false;
}

} // namespace Quorvant::Network
