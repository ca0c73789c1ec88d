// The editor's date and time stamps: eleven fixed patterns written with the
// user's day and month names and separators. The pattern letters are our
// own ("mm" is the month, or the minutes right after an hour), not Qt's.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class QLocale;

namespace Quorvant {

// Names and separators a stamp is written with.
struct TStampLocale
{
    QString DateSeparator = QStringLiteral("/");
    QString TimeSeparator = QStringLiteral(":");
    QStringList LongDayNames;     // Monday first, as QDate::dayOfWeek counts
    QStringList ShortMonthNames;  // January first
    QStringList LongMonthNames;
    QString AmText = QStringLiteral("am");
    QString PmText = QStringLiteral("pm");

    static TStampLocale fromLocale(const QLocale &locale);
    static TStampLocale system();
};

class TDateTimeStamp
{
public:
    // The eleven patterns in menu order.
    static const QStringList &patterns();
    static QString format(const QString &pattern, const QDateTime &when, const TStampLocale &names);
    // Every pattern written for one moment.
    static QStringList stamps(const QDateTime &when, const TStampLocale &names);
};

} // namespace Quorvant
