// The plug-in loader: every shared library of the plug-in folders that
// exports DLLName, SetMemoData and DLLOutPut adds one command that gets the
// document's text and selection and returns a text: inserted, put in place
// of the selection or shown as a message, as its optional DLLOutPutMode says.
#pragma once

#include "debugout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLibrary;

namespace Quorvant {

extern "C" {
using TDLLNameFunc = const char *(*)(void);
using TSetMemoDataFunc = void (*)(const char *MemoText, const char *MemoSelText);
using TDLLOutPutFunc = const char *(*)(void);
using TDLLOutPutModeFunc = int (*)(void);
}

// Where a plug-in's answer goes (the values of DLLOutPutMode).
enum class TPluginOutput {
    Insert = 0,           // through the insertion routine, before the selection
    ReplaceSelection = 1, // in place of the selection, as it is
    Message = 2,          // shown to the user
};

// The loaded plug-ins as parallel arrays, index = number in load order.
struct TPluginRec
{
    QList<QLibrary *> DLLInstances;
    QList<TSetMemoDataFunc> DLLData;
    QList<TDLLOutPutFunc> Caller;
    QList<TDLLNameFunc> Name;
    QList<TDLLOutPutModeFunc> OutputMode;  // null: the plug-in only inserts
    QStringList Path;
};

class TPlugins
{
public:
    using PtextFunc = std::function<void(const QString &beg, const QString &fin)>;
    using TextFunc = std::function<void(const QString &text)>;

    TPlugins(PtextFunc pPtextCommand, DebugOut Debugger);
    ~TPlugins();
    TPlugins(const TPlugins &) = delete;
    TPlugins &operator=(const TPlugins &) = delete;

    // Loads every "*.so" of the folder in name order. A file whose name was
    // loaded from an earlier folder is left out, so the first folder wins.
    // Files that anyone may write, that do not load or that lack an export
    // are skipped and reported.
    void LoadAllPlugins(const QString &Path);
    void UnloadAllPlugins();

    int Count() const { return int(gPlugins.Name.size()); }
    QString GetPluginName(int Index) const;
    QString GetPluginPath(int Index) const;
    // The first plug-in whose caption equals Name ignoring case, or -1.
    int GetPluginIndex(const QString &Name) const;
    // Hands the stored text and selection to the plug-in and returns its
    // answer; empty for a bad index or a null answer. mode: where the answer
    // goes, empty when the plug-in named no known place.
    QString ExecutePlugin(int Index, std::optional<TPluginOutput> *mode = nullptr);
    void SetValues(const QString &MemoText, const QString &MemoSelText);
    // Runs plug-in Index and hands a non-empty answer to the command of its
    // output mode; an unknown mode is logged and does nothing.
    void RunPlugin(int Index);

    static QString RemoveCharFromStr(QChar C, const QString &S);

    PtextFunc PtextCommand;
    TextFunc ReplaceSelectionCommand;
    TextFunc MessageCommand;
    QString gMemoText;
    QString gMemoSelText;

private:
    void log(const QString &line) const { debugOut(DebugMemo, line); }
    bool checkIndex(int Index, const char *operation) const;

    TPluginRec gPlugins;
    DebugOut DebugMemo;
    // The UTF-8 copies handed to the plug-ins; valid until the next SetValues.
    QByteArray m_text;
    QByteArray m_selText;
    bool m_bytesCurrent = false;
};

} // namespace Quorvant
