// The HTML5 markup of the element wizards: the same choices as the classic
// writers of formattingmarkup.h, imagewizard.h, linkwizard.h,
// mediamarkup.h and tablebuilder.h, written as HTML5 elements with CSS for
// the presentation. Typed text is escaped (attributeText, elementText),
// links are made valid URLs (urlText), and a value CSS cannot hold leaves its
// property out (csstext.h).
#pragma once

#include "formattingmarkup.h"
#include "imagewizard.h"
#include "linkwizard.h"
#include "mediamarkup.h"
#include "tablebuilder.h"
#include "wizardhtml.h"

namespace Quorvant {

// A SPAN with the faces, size and colour as CSS; Bold as STRONG, Italic as
// EM, StrikeThrough as S, Typewriter as a monospace family, Underline as a
// text decoration, the other styles as their elements; Blink has no HTML5
// equivalent and is left out.
MarkupPair html5FontMarkup(const FontChoices &c);
// The CSS font-size of a size text: a listed entry or 1 to 7 by its points,
// "+n" and "-n" counted from 3 as browsers did, a CSS length as typed.
QString cssFontSize(const QString &sizeText);

QString html5RuleMarkup(const RuleChoices &c);
// The header as a paragraph before the list (HTML5 has no list header).
QString html5ListMarkup(ListStyle style, int subStyle, const QString &header, const QStringList &items);
// "--" in the text is broken up, so the comment cannot end early.
MarkupPair html5CommentMarkup(const QString &text);

// IMG with SRC and ALT always (an empty ALT marks a decorative picture),
// WIDTH and HEIGHT when whole numbers (else as CSS), border, spacing and
// alignment as CSS.
QString html5ImageStartText(const TImageSettings &settings, const QString &currentFilePath);

// The link's NAME becomes its id; a button link is a BUTTON.
MarkupPair html5AnchorLinkTexts(const TLinkSettings &settings, bool aroundSelection);
MarkupPair html5EmailLinkTexts(const TEmailLinkSettings &settings);
MarkupPair html5FileLinkTexts(const QString &link);
MarkupPair html5LocalFileTexts(LocalInsertKind kind, const QString &link);
// A plug-in movie as OBJECT with its type.
QString html5MovieObject(const QString &link, const char *type);
QString html5LinkButtonText();

// AUDIO with controls.
QString html5SoundMarkup(const QString &link);
// The applet as OBJECT of the Java type with the class (below the codebase)
// as its data and the alternate text as the fallback content. PARAM is
// obsolete in HTML5: the archives and MAYSCRIPT are left out.
QString html5AppletMarkup(const AppletChoices &c);
QString html5NewWindowMarkup(const QString &url, const QString &title, unsigned features, const QString &width,
                             const QString &height);
// An empty A with the name as its id.
QString html5TargetMarkup(const QString &name);
MarkupPair html5GotoTargetMarkup(const QString &target);

// The custom table with its borders, spacing, padding, sizes, colours and
// alignment as CSS.
QStringList html5CustomTablePieces(const TTableSettings &settings);

} // namespace Quorvant
