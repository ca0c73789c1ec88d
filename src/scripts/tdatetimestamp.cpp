#include "tdatetimestamp.h"

#include <QLocale>

namespace Quorvant {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The first character of a format that is not a pattern letter or a quote.
QString separatorOf(const QString &qtFormat, const QString &fallback)
{
    bool quoted = false;
    for (const QChar c : qtFormat) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

} // namespace

TStampLocale TStampLocale::fromLocale(const QLocale &locale)
{
    TStampLocale names;
    names.DateSeparator = separatorOf(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    names.TimeSeparator = separatorOf(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    for (int d = 1; d <= 7; ++d)
        names.LongDayNames.append(locale.dayName(d, QLocale::LongFormat));
    for (int m = 1; m <= 12; ++m) {
        names.ShortMonthNames.append(locale.monthName(m, QLocale::ShortFormat));
        names.LongMonthNames.append(locale.monthName(m, QLocale::LongFormat));
    }
    return names;
}

TStampLocale TStampLocale::system()
{
    return fromLocale(QLocale::system());
}

const QStringList &TDateTimeStamp::patterns()
{
    static const QStringList list{
        QStringLiteral("dd/mm/yyyy"),
        QStringLiteral("dd/mmm/yyyy"),
        QStringLiteral("dd/mmmm/yyyy"),
        QStringLiteral("hh:mm:ss"),
        QStringLiteral("hh:mm:ss am/pm"),
        QStringLiteral("dd/mm/yyyy at hh:mm:ss"),
        QStringLiteral("dd/mm/yyyy at hh:mm:ss am/pm"),
        QStringLiteral("dd/mmm/yyyy at hh:mm:ss"),
        QStringLiteral("dd/mmm/yyyy at hh:mm:ss am/pm"),
        QStringLiteral("dddd, dd, mmmm yyyy at hh:mm:ss"),
        QStringLiteral("dddd, dd, mmmm yyyy at hh:mm:ss am/pm"),
    };
    return list;
}

QString TDateTimeStamp::format(const QString &pattern, const QDateTime &when, const TStampLocale &names)
{
    const QDate date = when.date();
    const QTime time = when.time();
    const QString amPm = QStringLiteral("am/pm");
    auto name = [](const QStringList &list, int n) { return n >= 1 && n <= list.size() ? list.at(n - 1) : QString(); };
    QString out;
    bool afterHour = false;  // the nearest letter before is an hour's
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n;) {
        auto run = [&](QChar c) {
            qsizetype j = i;
            while (j < n && pattern.at(j).toLower() == c)
                ++j;
            return j - i;
        };
        const QChar c = pattern.at(i).toLower();
        if (pattern.mid(i, amPm.size()).compare(amPm, Qt::CaseInsensitive) == 0) {
            out += time.hour() < 12 ? names.AmText : names.PmText;
            i += amPm.size();
            afterHour = false;
        } else if (c == u'd') {
            const qsizetype len = run(c);
            out += len >= 4 ? name(names.LongDayNames, date.dayOfWeek()) : twoDigits(date.day());
            i += len;
            afterHour = false;
        } else if (c == u'm') {
            const qsizetype len = run(c);
            if (len <= 2 && afterHour)
                out += twoDigits(time.minute());
            else if (len >= 4)
                out += name(names.LongMonthNames, date.month());
            else if (len == 3)
                out += name(names.ShortMonthNames, date.month());
            else
                out += twoDigits(date.month());
            i += len;
            afterHour = false;
        } else if (c == u'y') {
            const qsizetype len = run(c);
            out += QString::number(date.year());
            i += len;
            afterHour = false;
        } else if (c == u'h') {
            const qsizetype len = run(c);
            int hour = time.hour();
            if (pattern.indexOf(amPm, i, Qt::CaseInsensitive) >= 0) {
                if (hour == 0)
                    hour = 12;
                else if (hour > 12)
                    hour -= 12;
            }
            out += twoDigits(hour);
            i += len;
            afterHour = true;
        } else if (c == u's') {
            const qsizetype len = run(c);
            out += twoDigits(time.second());
            i += len;
            afterHour = false;
        } else if (c == u'/') {
            out += names.DateSeparator;
            ++i;
        } else if (c == u':') {
            out += names.TimeSeparator;
            ++i;
        } else {
            // "at", commas and spaces as they stand; a letter ends an hour's reach.
            if (c.isLetter())
                afterHour = false;
            out += pattern.at(i);
            ++i;
        }
    }
    return out;
}

QStringList TDateTimeStamp::stamps(const QDateTime &when, const TStampLocale &names)
{
    QStringList out;
    for (const QString &p : patterns())
        out.append(format(p, when, names));
    return out;
}

} // namespace Quorvant
