/* Plug-ins for the loader's tests, built in several variants: a caption,
 * a fixed answer or a null one, a missing export, an output mode. Each
 * keeps what it was handed, for the tests to read back. */
#include "quorvant_plugin.h"

#include <stdlib.h>
#include <string.h>

static char *lastText;
static char *lastSelection;
static int calls;

static char *copy(const char *s)
{
    if (!s)
        return NULL;
    char *out = malloc(strlen(s) + 1);
    if (out)
        strcpy(out, s);
    return out;
}

/* Run when the loader unloads the plug-in. */
__attribute__((destructor)) static void releaseCopies(void)
{
    free(lastText);
    free(lastSelection);
    lastText = lastSelection = NULL;
}

const char *DLLName(void)
{
    return FIXTURE_NAME;
}

void SetMemoData(const char *text, const char *selection)
{
    free(lastText);
    free(lastSelection);
    lastText = copy(text);
    lastSelection = copy(selection);
    ++calls;
}

#ifndef FIXTURE_NO_OUTPUT
const char *DLLOutPut(void)
{
#ifdef FIXTURE_NULL_OUTPUT
    return NULL;
#else
    return FIXTURE_OUTPUT;
#endif
}
#endif

#ifdef FIXTURE_OUTPUT_MODE
int DLLOutPutMode(void)
{
    return FIXTURE_OUTPUT_MODE;
}
#endif

QUORVANT_PLUGIN_EXPORT const char *FixtureLastText(void) { return lastText; }
QUORVANT_PLUGIN_EXPORT const char *FixtureLastSelection(void) { return lastSelection; }
QUORVANT_PLUGIN_EXPORT int FixtureCalls(void) { return calls; }
