// The IMG element of the image dialog and the look-up of a picture's size.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace Quorvant {

struct TImageSettings
{
    QString fileName;       // full path, turned into a link on writing
    QString alternateText;
    QString width;
    QString height;
    QString border = QStringLiteral("0");
    QString alignment;
    QString hSpacing;
    QString vSpacing;
    QString useMap;
    bool isMap = false;
    QString lowResFileName; // full path, turned into a link on writing
};

// The IMG start tag. SRC, WIDTH, HEIGHT and BORDER are always written (a
// border that is not a whole number as "0"); the others only when not
// empty. currentFilePath is the document's file, empty when never saved.
QString imageStartText(const TImageSettings &settings, const QString &currentFilePath);

// The width and height of the picture in the file, read from its header
// alone (the picture is not decoded); invalid when it cannot be read.
QSize imageSize(const QString &fileName);

// Whether the folder browser of the image dialog shows a picked file:
// GIF, JPEG, PNG and BMP files by their extension, in any letter case.
bool isBrowsableImage(const QString &fileName);

// The alignments offered by "Alignment:".
QStringList imageAlignments();

} // namespace Quorvant
