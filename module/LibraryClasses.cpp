#include "zorkit/module/LibraryClasses.h"

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/editor/UIEditView.h"
#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/core/RuntimeClass.h"

namespace zorkit {
namespace {
const CRuntimeClass* const kClasses[] = {
    RUNTIME_CLASS(CTextBuf),
    RUNTIME_CLASS(CTextView),
    RUNTIME_CLASS(CUIEditView),
    RUNTIME_CLASS(CGridCtrl),
};
}

void RegisterLibraryClasses()
{
    for (const CRuntimeClass* cls : kClasses)
        RegisterRuntimeClass(cls);
}

void UnregisterLibraryClasses()
{
    for (const CRuntimeClass* cls : kClasses)
        UnregisterRuntimeClass(cls);
}

}
