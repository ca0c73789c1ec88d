// The local record of files this user has booked out of shared projects, as
// the dispatcher needs it. The booking store implements it.
#pragma once

#include <QString>

namespace Quorvant::Network {

class NetworkBookings
{
public:
    virtual ~NetworkBookings() = default;
    virtual void addBooking(const QString &project, const QString &fileName, const QString &user) = 0;
    virtual void removeBooking(const QString &project, const QString &fileName, const QString &user) = 0;
};

} // namespace Quorvant::Network
