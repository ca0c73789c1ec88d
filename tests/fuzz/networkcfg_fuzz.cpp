// The booking record file ("Network.Cfg", fixed 360-byte records): each
// whole record reads as one booking, a booking written and read back is
// the same, and each booking read with both names is found booked out.
#include "fuzzsupport.h"

#include "tbookingsystem.h"

using namespace Quorvant;

namespace {

// Bookings looked up per input; each lookup reads the file again.
constexpr int BookingsLookedUp = 4;

bool fitsItsField(const TBookings &b)
{
    return b.ProjectName.toUtf8().size() <= TBookings::ProjectNameMax
           && b.FileName.toUtf8().size() <= TBookings::FileNameMax
           && b.UserName.toUtf8().size() <= TBookings::UserNameMax;
}

bool same(const TBookings &a, const TBookings &b)
{
    return a.ProjectName == b.ProjectName && a.FileName == b.FileName && a.UserName == b.UserName;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString dataFolder = Fuzz::scratchFolder() + QStringLiteral("/bookings");
    Fuzz::writeScratchFile(QStringLiteral("bookings/Network.Cfg"), bytes);
    const TBookingSystem bookings(dataFolder);
    const QList<TBookings> records = bookings.records();
    FUZZ_CHECK(records.size() == bytes.size() / TBookings::RecordSize);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TBookings &b = records[i];
        const QByteArray record = b.toRecord();
        FUZZ_CHECK(record.size() == TBookings::RecordSize);
        const TBookings again = TBookings::fromRecord(record.constData());
        if (fitsItsField(b))
            FUZZ_CHECK(same(again, b));
        FUZZ_CHECK(same(TBookings::fromRecord(again.toRecord().constData()), again));
        (void)TBookingSystem::reminderText(b);
        // A booking without a project or a file name books nothing out.
        if (i < BookingsLookedUp && !b.ProjectName.isEmpty() && !b.FileName.isEmpty())
            FUZZ_CHECK(bookings.BookedOut(b.ProjectName, b.FileName));
    }
    return 0;
}
