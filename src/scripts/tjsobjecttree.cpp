#include "tjsobjecttree.h"

#include <QStringList>

namespace Quorvant {

using namespace Qt::StringLiterals;

namespace {

QList<TObjectTreeNode> entries(const QStringList& texts)
{
    QList<TObjectTreeNode> nodes;
    for (const QString& t : texts)
        nodes.append({t, false, {}});
    return nodes;
}

TObjectTreeNode category(const QString& text, QList<TObjectTreeNode> children)
{
    return {text, true, std::move(children)};
}

// A category's sub-categories come before its own entries, except under
// Navigator.
QList<TObjectTreeNode> build()
{
    const TObjectTreeNode document = category(u"Document"_s,
        QList<TObjectTreeNode> {
            category(u"Form"_s,
                entries({u"document.form.action"_s, u"document.form.elements[]"_s, u"document.form.encoding"_s,
                    u"document.form.length"_s, u"document.form.method"_s, u"document.form.reset()"_s,
                    u"document.form.submit()"_s, u"document.form.target"_s})),
            category(u"Image"_s,
                entries({u"border"_s, u"complete"_s, u"height"_s, u"hspace"_s, u"lowsrc"_s, u"name"_s, u"prototype"_s,
                    u"src"_s, u"vspace"_s, u"width"_s})),
            category(u"Link"_s,
                entries({u"document.link.hash"_s, u"document.link.host"_s, u"document.link.hostname"_s,
                    u"document.link.href"_s, u"document.link.pathname"_s, u"document.link.port"_s,
                    u"document.link.protocol"_s, u"document.link.search"_s, u"document.link.target"_s}))}
            + entries({u"document.alinkcolor"_s, u"document.anchors[]"_s, u"document.bgColor"_s, u"document.cookie"_s,
                u"document.embeds"_s, u"document.fgColor"_s, u"document.forms[]"_s, u"document.lastmodified"_s,
                u"document.linkcolor"_s, u"document.links[]"_s, u"document.location"_s, u"document.referrer"_s,
                u"document.title"_s, u"document.vlinkColor"_s, u"document.clear()"_s, u"document.close()"_s,
                u"document.open()"_s, u"document.write(\"\")"_s, u"document.writeln(\"\")"_s}));
    const TObjectTreeNode window = category(u"Window"_s,
        QList<TObjectTreeNode> {
            category(u"History"_s,
                entries({u"history.length"_s, u"history.back()"_s, u"history.forward()"_s, u"history.go"_s})),
            category(u"Location"_s,
                entries({u"location.hash"_s, u"location.host"_s, u"location.hostname"_s, u"location.href"_s,
                    u"location.pathname"_s, u"location.port"_s, u"location.protocol"_s, u"location.search"_s,
                    u"location.reload()"_s, u"location.replace(\"\")"_s})),
            document,
            category(u"Frame"_s,
                entries({u"frame.frames"_s, u"frame.length"_s, u"frame.parent"_s, u"frame.self"_s, u"frame.window"_s,
                    u"frame.blur()"_s, u"frame.clearTimeout()"_s, u"frame.focus()"_s, u"frame.setTimeout()"_s}))}
            + entries({u"window.defaultStatus"_s, u"window.frames[]"_s, u"window.length"_s, u"window.name"_s,
                u"window.opener"_s, u"window.parent"_s, u"window.self"_s, u"window.status"_s, u"window.top"_s,
                u"window.alert(\"\")"_s, u"window.blur()"_s, u"window.clearTimeout()"_s, u"window.close()"_s,
                u"window.confirm(\"\")"_s, u"window.focus()"_s, u"window.open(\"\",\"\")"_s, u"window.focus"_s,
                u"window.prompt(\"\",\"\")"_s, u"window.scroll()"_s, u"window.setTimeout()"_s}));
    const TObjectTreeNode navigator = category(u"Navigator"_s,
        entries({u"navigator.appCodeName"_s, u"navigator.appName"_s, u"navigator.appVersion"_s,
            u"navigator.javaEnabled()"_s, u"navigator.mimeTypes"_s, u"navigator.plugins"_s, u"navigator.userAgent"_s})
            + QList<TObjectTreeNode> {
                category(u"Plugins"_s, entries({u"description"_s, u"filename"_s, u"length"_s, u"name"_s}))});
    const TObjectTreeNode script = category(u"Javascript"_s,
        {window, navigator,
            category(u"Date Time"_s,
                entries(
                    {u"prototype"_s, u"getDate()"_s, u"getDay()"_s, u"getHours()"_s, u"getMinutes()"_s, u"getMonth()"_s,
                        u"getSeconds()"_s, u"getTime()"_s, u"getTimezoneOffset()"_s, u"getYear()"_s, u"parse(\"\")"_s,
                        u"setDate()"_s, u"setHours()"_s, u"setMinutes()"_s, u"setMonth()"_s, u"setSeconds()"_s,
                        u"setTime()"_s, u"setYear()"_s, u"toGMTString()"_s, u"toLocaleString()"_s, u"UTC()"_s})),
            category(u"Math"_s,
                entries({u"Math.E"_s, u"Math.LN2"_s, u"Math.LN10"_s, u"Math.LOG2E"_s, u"Math.LOG10E"_s, u"Math.PI"_s,
                    u"Math.SQRT1_2"_s, u"Math.SQRT2"_s, u"Math.abs()"_s, u"Math.acos()"_s, u"Math.atan()"_s,
                    u"Math.ceil()"_s, u"Math.cos()"_s, u"Math.exp()"_s, u"Math.floor()"_s, u"Math.log()"_s,
                    u"Math.max()"_s, u"Math.min()"_s, u"Math.pow()"_s, u"Math.random()"_s, u"Math.round()"_s,
                    u"Math.sin()"_s, u"Math.sqrt()"_s, u"Math.tan()"_s})),
            category(u"String"_s,
                entries({u"length"_s, u"prototype"_s, u"anchor(\"\")"_s, u"big()"_s, u"blink()"_s, u"bold()"_s,
                    u"charAt()"_s, u"fixed()"_s, u"fontcolor(\"\")"_s, u"fontsize()"_s, u"indexOf()"_s, u"italics()"_s,
                    u"lastIndexOf()"_s, u"link(\"\")"_s, u"small()"_s, u"split()"_s, u"strike()"_s, u"sub()"_s,
                    u"substring()"_s, u"sup()"_s, u"toLowerCase()"_s, u"toUpperCase()"_s})),
            category(u"Reserved Words"_s,
                entries({u"abstract"_s, u"boolean"_s, u"byte"_s, u"case"_s, u"catch"_s, u"char"_s, u"class"_s,
                    u"const"_s, u"default"_s, u"do"_s, u"double"_s, u"extends"_s, u"false"_s, u"final"_s, u"finally"_s,
                    u"float"_s, u"function"_s, u"goto"_s, u"implements"_s, u"import"_s, u"instanceof"_s, u"int"_s,
                    u"interface"_s, u"long"_s, u"native"_s, u"null"_s, u"package"_s, u"private"_s, u"protected"_s,
                    u"public"_s, u"return"_s, u"short"_s, u"static"_s, u"super"_s, u"switch"_s, u"synchronized"_s,
                    u"throw"_s, u"throws"_s, u"transient"_s, u"true"_s, u"try"_s, u"var"_s, u"void"_s}))});

    const TObjectTreeNode eventDocument = category(u"Document"_s,
        QList<TObjectTreeNode> {
            category(u"Form"_s,
                entries({u"onAfterUpdate=\"\""_s, u"onBeforeUpdate=\"\""_s, u"onClick=\"\""_s,
                    u"onDataAvailable=\"\""_s, u"onDataSetChanged=\"\""_s, u"onDataSetComplete=\"\""_s,
                    u"onDblClick=\"\""_s, u"onDragStart=\"\""_s, u"onErrorUpdate=\"\""_s, u"onFilterChange=\"\""_s,
                    u"onHelp=\"\""_s, u"onKeyDown=\"\""_s, u"onKeyPress=\"\""_s, u"onKeyUp=\"\""_s,
                    u"onMouseDown=\"\""_s, u"onMouseMove=\"\""_s, u"onMouseOut=\"\""_s, u"onMouseOver=\"\""_s,
                    u"onMouseUp=\"\""_s, u"onReset=\"\""_s, u"onRowEnter=\"\""_s, u"onRowExit=\"\""_s,
                    u"onSelectStart=\"\""_s, u"onSubmit=\"\""_s})),
            category(u"Image"_s,
                entries({u"onAbort=\"\""_s, u"onAfterUpdate=\"\""_s, u"onBeforeUpdate=\"\""_s, u"onBlur=\"\""_s,
                    u"onClick=\"\""_s, u"onDataAvailable=\"\""_s, u"onDataSetChanged=\"\""_s,
                    u"onDataSetComplete=\"\""_s, u"onDblClick=\"\""_s, u"onDragStart=\"\""_s, u"onErrorUpdate=\"\""_s,
                    u"onFilterChange=\"\""_s, u"onFocus=\"\""_s, u"onHelp=\"\""_s, u"onKeyDown=\"\""_s,
                    u"onKeyPress=\"\""_s, u"onKeyUp=\"\""_s, u"onLoad=\"\""_s, u"onMouseDown=\"\""_s,
                    u"onMouseMove=\"\""_s, u"onMouseOut=\"\""_s, u"onMouseOver=\"\""_s, u"onMouseUp=\"\""_s,
                    u"onReadyStateChange=\"\""_s, u"onResize=\"\""_s, u"onRowEnter=\"\""_s, u"onRowExit=\"\""_s,
                    u"onSelectStart=\"\""_s})),
            category(u"Link"_s,
                entries({u"onAfterUpdate=\"\""_s, u"onBeforeUpdate=\"\""_s, u"onClick=\"\""_s,
                    u"onDataAvailable=\"\""_s, u"onDataSetChanged=\"\""_s, u"onDataSetComplete=\"\""_s,
                    u"onDblClick=\"\""_s, u"onDragStart=\"\""_s, u"onError=\"\""_s, u"onErrorUpdate=\"\""_s,
                    u"onFilterChange=\"\""_s, u"onHelp=\"\""_s, u"onKeyDown=\"\""_s, u"onKeyPress=\"\""_s,
                    u"onKeyUp=\"\""_s, u"onLoad=\"\""_s, u"onMouseDown=\"\""_s, u"onMouseMove=\"\""_s,
                    u"onMouseOut=\"\""_s, u"onMouseOver=\"\""_s, u"onMouseUp=\"\""_s, u"onReadyStateChange=\"\""_s,
                    u"onRowEnter=\"\""_s, u"onRowExit=\"\""_s, u"onSelectStart=\"\""_s}))}
            + entries({u"onAfterUpdate=\"\""_s, u"onBeforeUpdate=\"\""_s, u"onClick=\"\""_s, u"onDblClick=\"\""_s,
                u"onDragStart=\"\""_s, u"onHelp=\"\""_s, u"onKeyDown=\"\""_s, u"onKeyPress=\"\""_s, u"onKeyUp=\"\""_s,
                u"onMouseDown=\"\""_s, u"onMouseMove=\"\""_s, u"onMouseOut=\"\""_s, u"onMouseOver=\"\""_s,
                u"onMouseUp=\"\""_s, u"onReadyStateChange=\"\""_s, u"onRowEnter=\"\""_s, u"onRowExit=\"\""_s,
                u"onSelectStart=\"\""_s}));
    const TObjectTreeNode eventWindow = category(u"Window"_s,
        QList<TObjectTreeNode> {eventDocument,
            category(u"Frame"_s,
                entries({u"onAfterUpdate=\"\""_s, u"onBeforeUpdate=\"\""_s, u"onBlur=\"\""_s, u"onClick=\"\""_s,
                    u"onDataAvailable=\"\""_s, u"onDataSetChanged=\"\""_s, u"onDataSetComplete=\"\""_s,
                    u"onDblClick=\"\""_s, u"onDragStart=\"\""_s, u"onErrorUpdate=\"\""_s, u"onFilterChange=\"\""_s,
                    u"onFocus=\"\""_s, u"onKeyDown=\"\""_s, u"onKeyPress=\"\""_s, u"onKeyUp=\"\""_s, u"onLoad=\"\""_s,
                    u"onMouseDown=\"\""_s, u"onMouseMove=\"\""_s, u"onMouseOut=\"\""_s, u"onMouseOver=\"\""_s,
                    u"onMouseUp=\"\""_s, u"onResize=\"\""_s, u"onRowEnter=\"\""_s, u"onRowExit=\"\""_s,
                    u"onSelectStart=\"\""_s}))}
            + entries({u"onBeforeUnload=\"\""_s, u"onBlur=\"\""_s, u"onError=\"\""_s, u"onFocus=\"\""_s,
                u"onHelp=\"\""_s, u"onLoad=\"\""_s, u"onResize=\"\""_s, u"onScroll=\"\""_s, u"onUnLoad=\"\""_s}));
    return {script, category(u"Events"_s, {eventWindow})};
}

} // namespace

const QList<TObjectTreeNode>& TJsObjectTree::roots()
{
    static const QList<TObjectTreeNode> tree = build();
    return tree;
}

} // namespace Quorvant
