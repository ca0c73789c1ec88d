#include "toolkitservice.h"

#include "busnames.h"
#include "memoryeditor.h"
#include "pathsandcolours.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "transformations.h"

namespace Quorvant {

ToolkitService::ToolkitService(BusObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_bus(parent)
{
}

QString ToolkitService::SetTagCase(const QString &tag, bool lowerCase)
{
    return Quorvant::SetTagCase(tag, lowerCase);
}

QString ToolkitService::GetTagValue(const QString &tagText, const QString &attribute)
{
    return Quorvant::GetTagValue(tagText, attribute);
}

QString ToolkitService::GetRelativePath(const QString &documentPath, const QString &filePath)
{
    return Quorvant::GetRelativePath(documentPath, filePath);
}

QString ToolkitService::ConvertFileName(const QString &filePath, const QString &documentPath)
{
    return convertfilename(filePath, documentPath);
}

void ToolkitService::HexToColor(const QString &text, int &red, int &green, int &blue)
{
    bool ok = false;
    const RgbColor c = WebColorToDelphiColor(text, &ok);
    if (!ok) {
        m_bus->context()->sendErrorReply(QLatin1String(Bus::ErrorPrefix) + QStringLiteral("InvalidArgument"),
                                         QStringLiteral("\"%1\" is neither #RRGGBB nor a basic colour's name.").arg(text));
        return;
    }
    red = c.red;
    green = c.green;
    blue = c.blue;
}

QString ToolkitService::ColorToHex(int red, int green, int blue)
{
    for (int v : {red, green, blue}) {
        if (v < 0 || v > 255) {
            m_bus->context()->sendErrorReply(QLatin1String(Bus::ErrorPrefix) + QStringLiteral("OutOfRange"),
                                             QStringLiteral("Each part of a colour is 0 to 255, not %1.").arg(v));
            return {};
        }
    }
    return gcolor({red, green, blue});
}

QString ToolkitService::GetPageTitle(const QString &html)
{
    MemoryTextBuffer buffer;
    buffer.setText(html);
    return Quorvant::GetPageTitle(&buffer, false);
}

QString ToolkitService::StripTags(const QString &html)
{
    return StripAllTagsText(html);
}

} // namespace Quorvant
