/* Example plug-in: tells the user, in a message box, how many words the
 * visible text has: the selection's, or the whole document's when nothing
 * is selected.
 *
 * What counts as text: tags, comments, declarations and the contents of
 * script, style and title elements are left out; a character reference
 * counts as the character it stands for ("&nbsp;" separates words,
 * "caf&eacute;" is one word). A word is a run of characters between white
 * space that holds at least one letter or digit, so a lone "&" or dash is
 * not a word. The tag of an element that starts a new block (p, div, li,
 * br, td, ...) separates words; inline ones (b, i, a, span, ...) do not, so
 * "<b>W</b>ord" is one word. */
#include "quorvant_plugin.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>

static char result[64];

const char *DLLName(void)
{
    return "Word Count";
}

/* ---- Words ---- */

struct counter {
    unsigned long words;
    int inWord;
    int wordHasLetter;
};

static void endWord(struct counter *c)
{
    if (c->inWord && c->wordHasLetter)
        ++c->words;
    c->inWord = 0;
    c->wordHasLetter = 0;
}

static int isSpace(unsigned long ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == 0xA0
           || (ch >= 0x2000 && ch <= 0x200B) || ch == 0x202F || ch == 0x205F || ch == 0x3000;
}

/* Letters and digits make a word; punctuation and symbols only belong to one. */
static int isLetterOrDigit(unsigned long ch)
{
    if (ch < 0x80)
        return isalnum((int)ch);
    if (ch < 0xC0)
        return ch == 0xAA || ch == 0xB5 || ch == 0xBA; /* Latin-1 punctuation and signs */
    if (ch == 0xD7 || ch == 0xF7)
        return 0;
    if ((ch >= 0x2000 && ch <= 0x2BFF) || (ch >= 0x3000 && ch <= 0x303F) || (ch >= 0x1F000 && ch <= 0x1FAFF)
        || ch == 0xFFFD)
        return 0; /* punctuation, arrows, symbols, CJK punctuation, emoji, the replacement character */
    return 1;
}

static void addCharacter(struct counter *c, unsigned long ch)
{
    if (isSpace(ch)) {
        endWord(c);
        return;
    }
    c->inWord = 1;
    if (isLetterOrDigit(ch))
        c->wordHasLetter = 1;
}

/* The character of the UTF-8 sequence at *s, moving *s past it. A byte that
 * starts no valid sequence stands for itself. */
static unsigned long nextCharacter(const char **s)
{
    const unsigned char *p = (const unsigned char *)*s;
    int extra = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : p[0] >= 0xC0 ? 1 : 0;
    unsigned long ch = extra == 0 ? p[0] : p[0] & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *s += 1;
            return p[0];
        }
        ch = (ch << 6) | (p[i] & 0x3F);
    }
    *s += 1 + extra;
    return ch;
}

/* ---- Character references ---- */

/* Named references that stand for white space or punctuation; every other
 * name ("eacute", "uuml", "szlig", ...) stands for a letter. */
static const struct {
    const char *name;
    unsigned long ch;
} namedCharacters[] = {
    {"nbsp", 0xA0},    {"ensp", 0x2002},  {"emsp", 0x2003},  {"thinsp", 0x2009}, {"amp", '&'},
    {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},     {"copy", 0xA9},
    {"reg", 0xAE},     {"trade", 0x2122}, {"ndash", 0x2013}, {"mdash", 0x2014},  {"hellip", 0x2026},
    {"laquo", 0xAB},   {"raquo", 0xBB},   {"lsquo", 0x2018}, {"rsquo", 0x2019},  {"ldquo", 0x201C},
    {"rdquo", 0x201D}, {"bull", 0x2022},  {"middot", 0xB7},  {"deg", 0xB0},      {"sect", 0xA7},
    {"para", 0xB6},    {"euro", 0x20AC},  {"pound", 0xA3},   {"cent", 0xA2},     {"yen", 0xA5},
};

static const unsigned long AnyLetter = 'a';

/* At "&": the character the reference stands for, with *length set to the
 * reference's length; 0 when no reference starts here (the "&" is then an
 * ordinary character, as in "AT&T"). */
static unsigned long reference(const char *s, size_t *length)
{
    const char *p = s + 1;
    unsigned long ch = 0;
    if (*p == '#') {
        const int hex = p[1] == 'x' || p[1] == 'X';
        p += hex ? 2 : 1;
        const char *digits = p;
        for (; hex ? isxdigit((unsigned char)*p) : isdigit((unsigned char)*p); ++p) {
            const int digit = isdigit((unsigned char)*p) ? *p - '0' : tolower((unsigned char)*p) - 'a' + 10;
            if (ch <= 0x10FFFF)
                ch = ch * (hex ? 16 : 10) + (unsigned long)digit;
        }
        if (p == digits)
            return 0;
        if (ch == 0 || ch > 0x10FFFF)
            ch = 0xFFFD; /* as a browser shows it */
        if (*p == ';')
            ++p;
    } else {
        const char *name = p;
        while (isalnum((unsigned char)*p))
            ++p;
        const size_t n = (size_t)(p - name);
        if (n == 0 || *p != ';')
            return 0;
        ++p;
        ch = AnyLetter;
        for (size_t i = 0; i < sizeof namedCharacters / sizeof namedCharacters[0]; ++i)
            if (strlen(namedCharacters[i].name) == n && strncmp(namedCharacters[i].name, name, n) == 0)
                ch = namedCharacters[i].ch;
    }
    *length = (size_t)(p - s);
    return ch;
}

/* ---- Markup ---- */

static const char *const inlineElements[] = {
    "a",    "abbr", "b",    "bdi",  "bdo", "big",  "cite", "code",   "data",   "del", "dfn",
    "em",   "font", "i",    "ins",  "kbd", "mark", "q",    "s",      "samp",   "small",
    "span", "strike", "strong", "sub", "sup", "time", "tt", "u", "var",
};
/* Elements whose contents are not shown as text. */
static const char *const hiddenElements[] = {"script", "style", "title"};

static int nameIn(const char *name, size_t n, const char *const *list, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (strlen(list[i]) == n && strncasecmp(list[i], name, n) == 0)
            return 1;
    return 0;
}

/* The first end tag "</name" at or after s (any letter case), or the end of s. */
static const char *findEndTag(const char *s, const char *name, size_t n)
{
    for (; *s; ++s)
        if (s[0] == '<' && s[1] == '/' && strncasecmp(s + 2, name, n) == 0 && !isalnum((unsigned char)s[2 + n]))
            return s;
    return s;
}

/* Past the ">" that ends the tag at s; quotes after "=" hide a ">". */
static const char *tagEnd(const char *s)
{
    char quote = 0;
    char previous = 0;
    for (; *s; ++s) {
        if (quote) {
            if (*s == quote)
                quote = 0;
        } else if ((*s == '"' || *s == '\'') && previous == '=') {
            quote = *s;
        } else if (*s == '>') {
            return s + 1;
        }
        if (!isspace((unsigned char)*s))
            previous = *s;
    }
    return s;
}

/* At "<": past the tag, comment or declaration that starts here (ending the
 * current word where the tag starts a block), or s itself when the "<" is
 * text, as in "a < b". */
static const char *skipMarkup(const char *s, struct counter *c)
{
    if (strncmp(s, "<!--", 4) == 0) {
        const char *end = strstr(s + 4, "-->");
        return end ? end + 3 : s + strlen(s);
    }
    if (s[1] == '!' || s[1] == '?') {
        endWord(c);
        return tagEnd(s);
    }
    const int closing = s[1] == '/';
    const char *name = s + (closing ? 2 : 1);
    if (!isalpha((unsigned char)*name))
        return s;
    size_t n = 0;
    while (isalnum((unsigned char)name[n]))
        ++n;
    if (!nameIn(name, n, inlineElements, sizeof inlineElements / sizeof inlineElements[0]))
        endWord(c);
    const char *after = tagEnd(s);
    if (!closing && nameIn(name, n, hiddenElements, sizeof hiddenElements / sizeof hiddenElements[0])
        && after[-1] == '>' && after[-2] != '/')
        return tagEnd(findEndTag(after, name, n));
    return after;
}

static unsigned long countWords(const char *s)
{
    struct counter c = {0, 0, 0};
    while (s && *s) {
        if (*s == '<') {
            const char *after = skipMarkup(s, &c);
            if (after != s) {
                s = after;
                continue;
            }
        }
        size_t length = 0;
        const unsigned long ch = *s == '&' ? reference(s, &length) : 0;
        if (ch) {
            addCharacter(&c, ch);
            s += length;
        } else {
            addCharacter(&c, nextCharacter(&s));
        }
    }
    endWord(&c);
    return c.words;
}

/* ---- The plug-in ---- */

void SetMemoData(const char *text, const char *selection)
{
    const char *source = (selection && *selection) ? selection : text;
    snprintf(result, sizeof result, "Words: %lu", countWords(source));
}

const char *DLLOutPut(void)
{
    return result;
}

int DLLOutPutMode(void)
{
    return QUORVANT_OUTPUT_MESSAGE;
}
