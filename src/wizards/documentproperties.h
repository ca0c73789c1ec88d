// Reading and rewriting a page's TITLE element and BODY start tag for the
// document properties dialog.
#pragma once

#include "editortypes.h"

#include <QString>

namespace Quorvant {

class ITextBuffer;

struct PageProperties
{
    QString title;
    QString background;  // BACKGROUND
    QString bgColor;     // BGCOLOR
    QString textColor;   // TEXT
    QString linkColor;   // LINK
    QString vlinkColor;  // VLINK
    QString alinkColor;  // ALINK
    bool underlineLinks = true;
    bool disableScrollbars = false;  // SCROLL=NO
    bool watermark = false;          // BGPROPERTIES=FIXED
};

// The BODY start tag: from the '<' of the first line holding "<BODY"
// (ignoring case) to after the next '>', or to just before a '<' met first.
struct BodyTagSpan
{
    bool found = false;
    CaretPoint start;
    CaretPoint end;
    QString text;  // lines joined by CR LF
};
BodyTagSpan findBodyTag(const ITextBuffer *buffer);

// The attributes of a tag other than those named (compared ignoring case),
// each as written, with the blanks before it; empty when there are none.
QString otherAttributes(const QString &tag, const QStringList &names);

// The title and the BODY attributes the dialog edits; the caret is not moved.
PageProperties readPageProperties(const ITextBuffer *buffer);

// The block that turns off link underlines, six lines each ending in CR LF.
QString noUnderlineStyleBlock();
// "<BODY" with the properties' attributes and ">".
QString bodyStartTag(const PageProperties &p);

// Replaces the TITLE element (or puts one at the caret) with the title,
// the caret left inside it.
void writePageTitle(ITextBuffer *buffer, const QString &title);

// The BODY attributes the dialog edits: BACKGROUND, BGCOLOR, TEXT, LINK,
// VLINK, ALINK, SCROLL, BGPROPERTIES.
const QStringList &pagePropertyAttributes();

// Rewrites the TITLE element and the BODY start tag as one undo step. The
// BODY tag keeps the attributes the dialog does not edit; a page without
// one gets it after its TITLE element.
void writePageProperties(ITextBuffer *buffer, const PageProperties &p);

} // namespace Quorvant
