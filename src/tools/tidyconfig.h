// The settings of the HTML Tidy configuration file "Tidy.Cfg": 29 lines in a
// fixed order, read back by line position.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

enum class TidyDoctype { Omit, Auto, Strict, Loose };
// Document: no encoding chosen; each page goes to the tool in its document's
// own encoding.
enum class TidyCharEncoding { Raw, Ascii, Latin1, Utf8, Iso2022, Document };

// Line helpers of the settings dialog: the value after the first blank with
// every blank removed; that value as an integer (-1 when empty or not a
// number); true only for "yes" in any letter case; the written form of a flag.
namespace HtmlTidyMenu {
QString GetText(const QString &line);
int GetInt(const QString &line);
bool RevYesNo(const QString &value);
QString YesNo(bool value);
} // namespace HtmlTidyMenu

class TTidyConfig
{
public:
    static constexpr int LineCount = 29;
    // Lines 1 to 26 carry settings; 27 to 29 are fixed.
    static constexpr int SettingLines = 26;

    bool TidyMark = false;
    bool Markup = true;
    bool WrapAttributes = false;
    bool LiteralAttributes = false;
    int TabSize = 4;
    bool OutputXhtml = false;
    TidyDoctype Doctype = TidyDoctype::Auto;
    bool QuoteMarks = false;
    bool QuoteNbsp = true;
    bool QuoteAmpersand = true;
    bool FixBackslash = true;
    bool BreakBeforeBr = false;
    bool UppercaseTags = false;
    bool UppercaseAttributes = false;
    bool DropEmptyParas = true;
    bool EncloseText = false;
    int Wrap = 66;
    bool WrapAsp = true;
    bool WrapJtse = true;
    bool WrapPhp = true;
    bool InputXml = false;
    bool OutputXml = false;
    TidyCharEncoding CharEncoding = TidyCharEncoding::Document;
    bool NumericEntities = false;
    bool FixBadComments = true;
    bool AddXmlSpace = false;

    bool operator==(const TTidyConfig &) const = default;

    // The 29 lines of the file, in order.
    QStringList lines() const;
    // Settings read by position over these values; lines the text lacks
    // keep what they had, values that match no choice likewise.
    void applyLines(const QStringList &lines);
    static TTidyConfig fromLines(const QStringList &lines);

    // Writes the 29 lines (CR LF after each), replacing the file atomically.
    [[nodiscard]] bool save(const QString &path, QString *error = nullptr) const;
    // The file's lines (split at CR LF, CR or LF); false when it cannot be
    // read or is no regular file (a FIFO would block the window).
    [[nodiscard]] static bool readLines(const QString &path, QStringList *lines, QString *error = nullptr);

    static QString doctypeName(TidyDoctype d);
    static QString charEncodingName(TidyCharEncoding e);
    // The "char-encoding" a configuration text names, found by option name
    // as the tool reads it; Document when it names none.
    static TidyCharEncoding charEncodingIn(const QStringList &lines);
    // Line 23 when no encoding is chosen: a comment to the tool, which then
    // gets the document's encoding as an argument.
    static constexpr char DocumentEncodingLine[] = "#char-encoding: document";
};

} // namespace Quorvant
