// The fixed contents of the "Javascript Object Tree": script objects with
// their properties and methods, reserved words, and event attributes.
#pragma once

#include <QList>
#include <QString>

namespace Quorvant {

struct TObjectTreeNode
{
    QString Text;
    bool Category = false;  // a category inserts nothing
    QList<TObjectTreeNode> Children;
};

class TJsObjectTree
{
public:
    // The two roots, "Javascript" and "Events".
    static const QList<TObjectTreeNode> &roots();
};

} // namespace Quorvant
