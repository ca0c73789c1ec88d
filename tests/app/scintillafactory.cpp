#include "editorfactory.h"

#include "tdcmemo.h"
#include "tmemosource.h"

namespace Quorvant::Test {

EditorFactory scintillaEditorFactory()
{
    return {"Scintilla",
            [](QObject *owner) -> IEditorView * {
                auto *view = new TDCMemo;
                view->setParent(owner);
                return view;
            },
            [](QObject *owner) -> ITextBuffer * { return new TMemoSource(owner); }};
}

} // namespace Quorvant::Test
