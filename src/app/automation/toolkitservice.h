// org.quorvant.Toolkit at /Quorvant: the editor's text routines for scripts,
// computed by the code the editor's own commands use. They touch no window
// or document, so they answer even while a dialog is open.
#pragma once

#include "singleinstance.h"

#include <QDBusAbstractAdaptor>
#include <QString>

namespace Quorvant {

class ToolkitService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorvant.Toolkit")
public:
    explicit ToolkitService(BusObject *parent);

public Q_SLOTS:
    // The tag's text outside quoted values in lower (or upper) case.
    QString SetTagCase(const QString &tag, bool lowerCase);
    // An attribute's value in one tag's text, or empty.
    QString GetTagValue(const QString &tagText, const QString &attribute);
    QString GetRelativePath(const QString &documentPath, const QString &filePath);
    // The text of a link to the file from the document (empty: never saved).
    QString ConvertFileName(const QString &filePath, const QString &documentPath);
    // "#RRGGBB" or a basic colour's name; an error reply when it is neither.
    void HexToColor(const QString &text, int &red, int &green, int &blue);
    QString ColorToHex(int red, int green, int blue);
    // The first TITLE element's text in an HTML text.
    QString GetPageTitle(const QString &html);
    QString StripTags(const QString &html);

private:
    BusObject *m_bus;
};

} // namespace Quorvant
