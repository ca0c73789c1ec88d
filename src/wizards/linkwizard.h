// The A elements of the link dialog, the e-mail link dialog and "Link to
// local file", and the elements the "Local" file list inserts.
#pragma once

#include "wizardhtml.h"

#include <QString>

namespace Quorvant {

struct TLinkSettings
{
    QString url;
    QString target;
    QString name;
    QString description;
    QString statusBar;
    QString title;
    QString accessKey;
    bool buttonLink = false;  // "Button Link" rather than "Standard Link"
};

// A service of the link dialog's service menu and the prefix it puts in
// front of the URL.
struct TLinkService
{
    const char *caption;
    const char *prefix;
};
inline constexpr TLinkService LinkServices[] = {
    {"World Wide Web - http://", "HTTP://"},
    {"FTP Server - ftp://", "FTP://"},
    {"Gopher Server - gopher://", "GOPHER://"},
    {"Email - mailto:", "MAILTO:"},
    {"News Group - news:", "NEWS://"},
    {"News Server - nntp://", "NNTP://"},
    {"Telnet Session - telnet://", "TELNET://"},
    {"WAIS Index Server - WAIS://", "WAIS://"},
    {"View Source - view-source://", "VIEW-SOURCE://"},
};

// A standard link (A with HREF always written) or a button link (a FORM
// with one button, labelled with the description, that goes to the URL).
// A standard link made where nothing is selected (aroundSelection false)
// has the description as its text; around a selection the selection stays
// the link's text.
MarkupPair anchorLinkTexts(const TLinkSettings &settings, bool aroundSelection);

struct TEmailLinkSettings
{
    QString linkText;
    QString subject;
    QString address;
    QString message;
};

inline constexpr char InvalidEmailQuestion[] =
    "Your e-mail address seems to be invalid. Are you sure you want to continue?";

// Whether the address is worth asking about: it holds no "@".
bool emailAddressLooksInvalid(const QString &address);

// A mailto: link with the subject and the message body. Address, subject
// and body are percent-encoded (mailtoText), so none of them can end the
// address, the subject or the quoted HREF early; the link text follows the
// start tag as typed.
MarkupPair emailLinkTexts(const TEmailLinkSettings &settings);
// The mailto: address of that link.
QString emailHref(const TEmailLinkSettings &settings);

// A link to a file (link: the text convertfilename made of its path).
MarkupPair fileLinkTexts(const QString &link);

// What the "Local" file list's pop-up menu inserts for a file's link.
enum class LocalInsertKind { Image, EmbeddedFile, Flash, Shockwave };
MarkupPair localFileTexts(LocalInsertKind kind, const QString &link);

// The movie templates around a movie file's link: OBJECT with PARAM and
// EMBED, in lower case; the Shockwave one ends with a line break.
QString flashTemplate(const QString &link);
QString shockwaveTemplate(const QString &link);

// Insert menu "Quorvant - Link Button": a link to the program's site drawn
// as its link button picture.
QString linkButtonText();

} // namespace Quorvant
