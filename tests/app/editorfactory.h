// Makers of the two editor contract implementations, so one test suite can
// run against both.
#pragma once

#include "editorview.h"

#include <functional>

namespace Quorvant::Test {

struct EditorFactory
{
    const char *name;
    std::function<IEditorView *(QObject *owner)> makeView;
    std::function<ITextBuffer *(QObject *owner)> makeBuffer;
};

EditorFactory memoryEditorFactory();
EditorFactory scintillaEditorFactory();

} // namespace Quorvant::Test
