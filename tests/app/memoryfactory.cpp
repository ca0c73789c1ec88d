#include "editorfactory.h"
#include "memoryeditor.h"

namespace Quorvant::Test {

EditorFactory memoryEditorFactory()
{
    return {
        "Memory",
        [](QObject *owner) -> IEditorView * { return new MemoryEditorView(owner); },
        [](QObject *owner) -> ITextBuffer * { return new MemoryTextBuffer(owner); },
    };
}

} // namespace Quorvant::Test
