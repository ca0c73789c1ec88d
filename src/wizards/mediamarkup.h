// The HTML of the media and target dialogs: sound, Java applet, the
// new-window script and link targets.
#pragma once

#include "wizardhtml.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

class ITextBuffer;

// link: the sound file's link text (empty for an empty field).
QString soundMarkup(const QString &link);

struct AppletChoices
{
    QString code, codebase, name, alt;
    QString width, height, vspace, hspace, align;
    QString cabbase, archive;
    bool mayScript = false;
};
QString appletMarkup(const AppletChoices &c);

// The window features in the order of their check boxes: caption and word.
struct WindowFeature
{
    const char *caption;
    const char *word;
};
inline constexpr WindowFeature WindowFeatures[] = {
    {"Show navigation bar", "toolbar"}, {"Show menus bar", "menubar"}, {"Show scroll bars", "scrollbars"},
    {"Allow window resize", "resizable"}, {"Show links bar", "directories"}, {"Show status bar", "status"},
    {"Show URL bar", "location"},        {"Make fullscreen", "fullscreen"}, {"Copy history", "copyhistory"},
};
inline constexpr int WindowFeatureCount = int(std::size(WindowFeatures));

// features: bit i set for WindowFeatures[i] checked. The URL, the title and
// the feature list go into single-quoted script strings (scriptStringText),
// so a quote typed in them cannot end the string.
QString newWindowMarkup(const QString &url, const QString &title, unsigned features, const QString &width,
                        const QString &height);

// "top", "bottom", "target1" to "target6" and an empty entry.
const QStringList &targetNames();
QString targetMarkup(const QString &name);

// The first anchor name (or, as HTML5 writes them, anchor id) of every line
// that has one, in document order.
QStringList documentTargets(const ITextBuffer *buffer);
MarkupPair gotoTargetMarkup(const QString &target);

} // namespace Quorvant
