// Link texts for files, colour texts and the link commands.
#pragma once

#include "markupstyle.h"
#include "textbuffer.h"

#include <QString>

namespace Quorvant {

// The text for a link to file f: relative to the current document
// (currentFilePath, empty for a document never saved), otherwise "file://"
// followed by the absolute path, nothing encoded.
QString convertfilename(const QString &f, const QString &currentFilePath);

// Relative path from the document's folder to the file: "../" per step up,
// folder names compared ignoring ASCII case and written as PathToFile spells
// them. Empty when either path is empty or shorter than 2 characters.
QString GetRelativePath(const QString &DocPath, const QString &PathToFile);

struct RgbColor
{
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const RgbColor &, const RgbColor &) = default;
};

// The sixteen basic colours.
struct NamedColor
{
    const char *name;
    RgbColor color;
};
inline constexpr NamedColor BasicColors[] = {
    {"Black", {0x00, 0x00, 0x00}},   {"Maroon", {0x80, 0x00, 0x00}}, {"Green", {0x00, 0x80, 0x00}},
    {"Olive", {0x80, 0x80, 0x00}},   {"Navy", {0x00, 0x00, 0x80}},   {"Purple", {0x80, 0x00, 0x80}},
    {"Teal", {0x00, 0x80, 0x80}},    {"Gray", {0x80, 0x80, 0x80}},   {"Silver", {0xC0, 0xC0, 0xC0}},
    {"Red", {0xFF, 0x00, 0x00}},     {"Lime", {0x00, 0xFF, 0x00}},   {"Yellow", {0xFF, 0xFF, 0x00}},
    {"Blue", {0x00, 0x00, 0xFF}},    {"Fuchsia", {0xFF, 0x00, 0xFF}}, {"Aqua", {0x00, 0xFF, 0xFF}},
    {"White", {0xFF, 0xFF, 0xFF}},
};

// A basic colour's name ("Red"), otherwise "#RRGGBB" in upper-case hex.
QString gcolor(RgbColor c);

// Reads "#RRGGBB" (hex of either case) or a basic colour name (any case).
// On failure the result is white and *Success false.
RgbColor WebColorToDelphiColor(const QString &Text, bool *Success);

// Editor pop-up "Make Link..." and "Make E-Mail Link...".
void MakeLink(ITextBuffer *buffer);
void MakeEMailLink(ITextBuffer *buffer);

// Colour bar "FG Color" / "BG Color": with asFontTag ("tag?") the colour is
// a FONT COLOR start tag around the selection (in HTML5 a SPAN with the
// colour as CSS), otherwise its text alone.
void InsertColor(ITextBuffer *buffer, RgbColor c, bool asFontTag, MarkupStyle style = MarkupStyle::Classic);

} // namespace Quorvant
