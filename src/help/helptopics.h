// The help pages and where the program opens them: the Documentation page's
// topic tree, the page of each node, the help topics of the dialogs and the
// Help menu's reference guides and web sites. Paths are below the data folder.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

struct HelpNode
{
    QString caption;
    QList<HelpNode> children;
};

struct HelpPageRow
{
    QString caption;  // matched without regard to letter case
    QString page;     // below the data folder
};

struct HelpTopicRow
{
    QString dialog;
    QString topic;  // as ShowHelpFile takes it
};

struct HelpWebSite
{
    QString key;      // in the [Help] section of "Main.INI"
    QString address;  // used when the key is not set
};

class THelpTopics
{
public:
    static const QList<HelpNode> &tree();
    static const QList<HelpPageRow> &pages();
    // Every page the caption opens, in the table's order (the last one wins).
    static QStringList pagesFor(const QString &caption);
    static const QList<HelpTopicRow> &dialogTopics();

    static QString htmlGuide();  // Help > Reference Material > WDG HTML Guide
    static QString cssGuide();
    static QString mainPage();   // the manual's contents: topic "MAIN"

    static const HelpWebSite &htmlHelpSite();
    static const HelpWebSite &sourceForgeSite();
    static const HelpWebSite &makerSite();
};

} // namespace Quorvant
