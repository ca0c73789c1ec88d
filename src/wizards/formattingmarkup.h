// The HTML the text formatting dialogs write: font, horizontal rule, lists
// and comments, each as the start and end text handed to ptext.
#pragma once

#include "wizardhtml.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

// The font dialog's style check boxes, in the order their tags open.
enum FontStyle : unsigned {
    fsItalic = 1u << 0,
    fsBold = 1u << 1,
    fsUnderline = 1u << 2,
    fsBlink = 1u << 3,
    fsCode = 1u << 4,
    fsVariable = 1u << 5,
    fsStrikeThrough = 1u << 6,
    fsTypewriter = 1u << 7,
    fsCitation = 1u << 8,
    fsKeyboard = 1u << 9,
    fsSample = 1u << 10,
    fsDefinition = 1u << 11,
};
inline constexpr int FontStyleCount = 12;
// Caption and tag name of style i (0 = Italic).
const char *fontStyleCaption(int i);
const char *fontStyleTag(int i);

// The seven listed text sizes, "1 (8pt)" to "7 (36pt)", and their point sizes.
const QStringList &fontSizeEntries();
// The point size of a listed entry, 0 for any other text.
int fontSizePoints(const QString &sizeText);

struct FontChoices
{
    QString faces[3];
    QString position;  // "NORMAL", "SUBSCRIPT", "SUPERSCRIPT" or typed
    QString size;      // a listed entry or typed
    QString color;     // HTML colour text, empty for none
    unsigned styles = 0;
};
MarkupPair fontMarkup(const FontChoices &c);

inline constexpr char RuleDefault[] = "(default)";
struct RuleChoices
{
    QString alignment = QString::fromLatin1(RuleDefault);
    bool widthInPixels = false;
    QString percentWidth = QString::fromLatin1(RuleDefault);
    QString pixelWidth;
    QString thickness = QString::fromLatin1(RuleDefault);
    bool shaded = true;  // "3D"; false is "None"
    QString color;       // empty for none
};
QString ruleMarkup(const RuleChoices &c);

enum class ListStyle { Bullet, Numbered, Definition, ItemsOnly };
// Sub-style index: Bullet, Circle, Disk, Square; or 1,2,3 / I,II,III /
// i,ii,iii,iv / A,B,C / a,b,c.
QString listMarkup(ListStyle style, int subStyle, const QString &header, const QStringList &items);

// A comment around the text, or, for an empty text, around the selection.
MarkupPair commentMarkup(const QString &text);

} // namespace Quorvant
