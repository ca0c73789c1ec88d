// The plug-in loader: every shared library of the plug-in folders that
// exports DLLName, SetMemoData and DLLOutPut adds one command that gets the
// document's text and selection and returns a text to insert.
#pragma once

#include "debugout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLibrary;

namespace Quorvant {

extern "C" {
using TDLLNameFunc = const char *(*)(void);
using TSetMemoDataFunc = void (*)(const char *MemoText, const char *MemoSelText);
using TDLLOutPutFunc = const char *(*)(void);
}

// The loaded plug-ins as parallel arrays, index = number in load order.
struct TPluginRec
{
    QList<QLibrary *> DLLInstances;
    QList<TSetMemoDataFunc> DLLData;
    QList<TDLLOutPutFunc> Caller;
    QList<TDLLNameFunc> Name;
    QStringList Path;
};

class TPlugins
{
public:
    using PtextFunc = std::function<void(const QString &beg, const QString &fin)>;

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
    // answer; empty for a bad index or a null answer.
    QString ExecutePlugin(int Index);
    void SetValues(const QString &MemoText, const QString &MemoSelText);
    // Runs plug-in Index and inserts a non-empty answer through PtextCommand.
    void RunPlugin(int Index);

    static QString RemoveCharFromStr(QChar C, const QString &S);

    PtextFunc PtextCommand;
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
