#include "bookingstoreadapter.h"

namespace Quorvant {

TBookingStoreAdapter::TBookingStoreAdapter(const QString &dataFolder, DebugOut debugger)
    : m_dataFolder(dataFolder)
    , m_debug(std::move(debugger))
{
}

void TBookingStoreAdapter::addBooking(const QString &project, const QString &fileName, const QString &user)
{
    // A failure is already written to the debug window; the download stands.
    (void)TBookingSystem(m_dataFolder, m_debug).AddInfo(project, fileName, user);
}

void TBookingStoreAdapter::removeBooking(const QString &project, const QString &fileName, const QString &user)
{
    TBookingSystem(m_dataFolder, m_debug).RemoveRecord(project, fileName, user);
}

} // namespace Quorvant
