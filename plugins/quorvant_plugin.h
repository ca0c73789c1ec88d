/*
 * Quorvant plug-in interface.
 *
 * A plug-in is a shared library ("*.so") in the "PlugIn" folder of the data
 * folder or in the installed plug-in folder. It adds one entry to the
 * "Plugins" menu. When the user picks the entry, Quorvant calls
 * SetMemoData with the whole document and the selection, then DLLOutPut,
 * and inserts the returned text at the caret (before the selection, when
 * there is one) in the user's tag case. A plug-in that exports
 * DLLOutPutMode may instead have its text replace the selection or be
 * shown to the user as a message.
 *
 * Rules:
 *  - All strings are zero-terminated UTF-8. Line ends in the text are CR LF.
 *  - The strings given to SetMemoData stay valid only until the next call
 *    into the plug-in; copy what you keep.
 *  - The strings you return stay yours: Quorvant copies them at once and
 *    never frees them. Keep them valid until your next call. NULL or ""
 *    means "insert nothing".
 *  - Every function is called on the user-interface thread; return quickly.
 *  - A library lacking one of DLLName, SetMemoData and DLLOutPut, or a file
 *    that every user may write, is not loaded. DLLOutPutMode is optional.
 */
#ifndef QUORVANT_PLUGIN_H
#define QUORVANT_PLUGIN_H

#if defined(__GNUC__)
#define QUORVANT_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define QUORVANT_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The caption of the plug-in's menu entry. */
QUORVANT_PLUGIN_EXPORT const char *DLLName(void);

/* The whole document and the selected text ("" when nothing is selected). */
QUORVANT_PLUGIN_EXPORT void SetMemoData(const char *text, const char *selection);

/* The text to insert; NULL or "" inserts nothing. */
QUORVANT_PLUGIN_EXPORT const char *DLLOutPut(void);

/* Where the text of DLLOutPut goes. */
enum QuorvantOutputMode {
    /* Inserted at the caret, before the selection, in the user's tag case. */
    QUORVANT_OUTPUT_INSERT = 0,
    /* Replaces the selection (inserted at the caret when there is none),
     * exactly as returned; one step to undo. */
    QUORVANT_OUTPUT_REPLACE_SELECTION = 1,
    /* Shown to the user in a message box; the document is left alone. */
    QUORVANT_OUTPUT_MESSAGE = 2
};

/* Optional: one of QuorvantOutputMode, asked right after every DLLOutPut.
 * Without this function the text is inserted (QUORVANT_OUTPUT_INSERT);
 * with any other value nothing is done. */
QUORVANT_PLUGIN_EXPORT int DLLOutPutMode(void);

#ifdef __cplusplus
}
#endif

#endif /* QUORVANT_PLUGIN_H */
