// Lets the network client record bookings in "Network.Cfg".
#pragma once

#include "networkbookings.h"
#include "tbookingsystem.h"

namespace Quorvant {

class TBookingStoreAdapter : public Network::NetworkBookings
{
public:
    TBookingStoreAdapter(const QString &dataFolder, DebugOut debugger = {});
    void addBooking(const QString &project, const QString &fileName, const QString &user) override;
    void removeBooking(const QString &project, const QString &fileName, const QString &user) override;

private:
    QString m_dataFolder;
    DebugOut m_debug;
};

} // namespace Quorvant
