#include "imagewizard.h"

#include "pathsandcolours.h"
#include "wizardhtml.h"

#include <QFileInfo>
#include <QImageReader>

namespace Quorvant {

QString imageStartText(const TImageSettings &s, const QString &currentFilePath)
{
    bool isNumber = false;
    const qlonglong border = s.border.trimmed().toLongLong(&isNumber);
    QString tag = QStringLiteral("<IMG");
    tag += htmlAttribute(QStringLiteral("SRC"), convertfilename(s.fileName, currentFilePath));
    tag += htmlAttribute(QStringLiteral("WIDTH"), s.width);
    tag += htmlAttribute(QStringLiteral("HEIGHT"), s.height);
    tag += htmlAttribute(QStringLiteral("BORDER"), QString::number(isNumber ? border : 0));
    tag += optionalAttribute(QStringLiteral("HSPACE"), s.hSpacing);
    tag += optionalAttribute(QStringLiteral("VSPACE"), s.vSpacing);
    if (!s.lowResFileName.isEmpty())
        tag += optionalAttribute(QStringLiteral("LOWSRC"), convertfilename(s.lowResFileName, currentFilePath));
    tag += optionalAttribute(QStringLiteral("ALT"), s.alternateText);
    tag += optionalAttribute(QStringLiteral("ALIGN"), s.alignment);
    if (!s.useMap.isEmpty())
        tag += htmlAttribute(QStringLiteral("USEMAP"), QLatin1Char('#') + s.useMap);
    if (s.isMap)
        tag += QStringLiteral(" ISMAP");
    tag += QLatin1Char('>');
    return tag;
}

QSize imageSize(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    QImageReader reader(fileName);
    reader.setAutoTransform(false);
    return reader.size();
}

bool isBrowsableImage(const QString &fileName)
{
    static const QStringList extensions = {QStringLiteral("gif"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                           QStringLiteral("png"), QStringLiteral("bmp")};
    return extensions.contains(QFileInfo(fileName).suffix(), Qt::CaseInsensitive);
}

QStringList imageAlignments()
{
    return {QStringLiteral("Top"),      QStringLiteral("Bottom"),   QStringLiteral("Left"),
            QStringLiteral("Right"),    QStringLiteral("Middle"),   QStringLiteral("Texttop"),
            QStringLiteral("Baseline"), QStringLiteral("Absmiddle"), QStringLiteral("Absbottom")};
}

} // namespace Quorvant
