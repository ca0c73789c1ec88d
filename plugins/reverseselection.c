/* Example plug-in: replaces the selection with its characters in reverse
 * order (a CR LF line end stays one line end). With nothing selected it
 * does nothing. */
#include "quorvant_plugin.h"

#include <stdlib.h>
#include <string.h>

static char *result;

/* Run when the program unloads the plug-in: the last answer goes with it. */
__attribute__((destructor)) static void releaseResult(void)
{
    free(result);
    result = NULL;
}

const char *DLLName(void)
{
    return "Reverse Selection";
}

/* Length of the UTF-8 sequence that starts with byte c. */
static size_t sequenceLength(unsigned char c)
{
    if (c >= 0xF0)
        return 4;
    if (c >= 0xE0)
        return 3;
    if (c >= 0xC0)
        return 2;
    return 1;
}

void SetMemoData(const char *text, const char *selection)
{
    (void)text;
    free(result);
    result = NULL;
    if (!selection)
        return;
    size_t n = strlen(selection);
    result = malloc(n + 1);
    if (!result)
        return;
    size_t out = n;
    result[out] = '\0';
    size_t i = 0;
    while (i < n) {
        size_t len = sequenceLength((unsigned char)selection[i]);
        if (selection[i] == '\r' && selection[i + 1] == '\n')
            len = 2;
        if (i + len > n)
            len = n - i;
        out -= len;
        memcpy(result + out, selection + i, len);
        i += len;
    }
}

const char *DLLOutPut(void)
{
    return result;
}

int DLLOutPutMode(void)
{
    return QUORVANT_OUTPUT_REPLACE_SELECTION;
}
