/* Example plug-in: answers "Words: N", counting the selection's words, or the
 * whole document's when nothing is selected. A word is a run of characters
 * other than blanks, tabs and line ends. */
#include "quorvant_plugin.h"

#include <stdio.h>

static char result[64];

const char *DLLName(void)
{
    return "Word Count";
}

static unsigned long countWords(const char *s)
{
    unsigned long words = 0;
    int inWord = 0;
    for (; s && *s; ++s) {
        const int blank = *s == ' ' || *s == '\t' || *s == '\r' || *s == '\n';
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

void SetMemoData(const char *text, const char *selection)
{
    const char *source = (selection && *selection) ? selection : text;
    snprintf(result, sizeof result, "Words: %lu", countWords(source));
}

const char *DLLOutPut(void)
{
    return result;
}
