// The HTML5 writers of the page-wide dialogs: margins and page properties
// become a STYLE element in the page's HEAD (one per dialog, rewritten on
// each use); the BODY start tag loses the presentational attributes and no
// second BODY is ever written.
#pragma once

#include "documentproperties.h"

#include <QString>

namespace Quorvant {

class ITextBuffer;

inline constexpr char PageMarginsStyleId[] = "page-margins";
inline constexpr char PagePropertiesStyleId[] = "page-properties";

// Format > Page Transitions in HTML5 mode says this and writes nothing.
inline constexpr char NoHtml5TransitionsMessage[] =
    "Page transitions have no HTML5 equivalent: browsers ignore them, so nothing was written. "
    "Choose \"Classic\" under \"Markup written by the wizards\" in the Options Menu to write them anyway.";

// Puts <style id="id"> with the rules before the page's </head>, or at the
// caret on a page without one, replacing an element of that id written
// before; empty rules remove it. One undo step.
void writeHeadStyle(ITextBuffer *buffer, const QString &id, const QString &rules);

// "body { margin: T R B L; }" as the page-margins style element.
void writeHtml5Margins(ITextBuffer *buffer, int top, int left, int bottom, int right);

// The CSS rules of the page properties, one a line (CR LF), empty when none
// is set.
QString pagePropertiesRules(const PageProperties &p);

// The properties of readPageProperties, with those written as the
// page-properties style element read back from it.
PageProperties readHtml5PageProperties(const ITextBuffer *buffer);

// The title (unless empty: HTML5 needs one with text), the page-properties style element, and the BODY start tag
// without the attributes the element replaces; one undo step.
void writeHtml5PageProperties(ITextBuffer *buffer, const PageProperties &p);

} // namespace Quorvant
