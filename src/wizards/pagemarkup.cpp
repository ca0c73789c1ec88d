#include "pagemarkup.h"

#include "wizardhtml.h"

namespace Quorvant {

QString marginsMarkup(int top, int left, int bottom, int right)
{
    return QStringLiteral("<BODY") + htmlAttribute(QStringLiteral("LEFTMARGIN"), QString::number(left))
           + htmlAttribute(QStringLiteral("TOPMARGIN"), QString::number(top))
           + htmlAttribute(QStringLiteral("RIGHTMARGIN"), QString::number(right))
           + htmlAttribute(QStringLiteral("BOTTOMMARGIN"), QString::number(bottom)) + QLatin1Char('>');
}

const QStringList &transitionEvents()
{
    static const QStringList events = {QStringLiteral("Page-Enter"), QStringLiteral("Page-Exit"),
                                       QStringLiteral("Site-Enter"), QStringLiteral("Site-Exit")};
    return events;
}

const QStringList &transitionEffects()
{
    static const QStringList effects = {
        QStringLiteral("No Effect"),
        QStringLiteral("Blend"),
        QStringLiteral("Box In"),
        QStringLiteral("Box Out"),
        QStringLiteral("Circle In"),
        QStringLiteral("Circle Out"),
        QStringLiteral("Wipe Up"),
        QStringLiteral("Wipe Down"),
        QStringLiteral("Wipe Right"),
        QStringLiteral("Wipe Left"),
        QStringLiteral("Vertical Blinds"),
        QStringLiteral("Horizontal Blinds"),
        QStringLiteral("CheckerBoard Across"),
        QStringLiteral("CheckerBoard Down"),
        QStringLiteral("Random Dissolve"),
        QStringLiteral("Split Vertical In"),
        QStringLiteral("Split Vertical Out"),
        QStringLiteral("Split Horizontal In"),
        QStringLiteral("Split Horizontal Out"),
        QStringLiteral("Strips Left Down"),
        QStringLiteral("Strips Left Up"),
        QStringLiteral("Strips Right Down"),
        QStringLiteral("Strips Right Up"),
        QStringLiteral("Random Bars Horizontal"),
        QStringLiteral("Random Bars Vertical"),
        QStringLiteral("Random"),
    };
    return effects;
}

QString transitionMarkup(const QString &event, int seconds, const QString &effect)
{
    const qsizetype index = transitionEffects().indexOf(effect);
    if (index < 1)
        return {};
    const QString length = QString::number(seconds);
    const QString content = index == 1
                                ? QStringLiteral("blendTrans(Duration=%1.0)").arg(length)
                                : QStringLiteral("revealTrans(Duration=%1.0,Transition=%2)").arg(length).arg(index - 2);
    return QStringLiteral("<META") + htmlAttribute(QStringLiteral("HTTP-EQUIV"), event)
           + htmlAttribute(QStringLiteral("CONTENT"), content) + QLatin1Char('>');
}

} // namespace Quorvant
