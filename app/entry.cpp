// The process entry: the main dialog is the whole program. The exe links no
// C runtime, so this is the entry point itself, with nothing run before it.
#include <windows.h>

#include "../platform/dialog.h"
#include "../platform/process.h"
#include "../platform/win32/dialog_box.h"
#include "../resources/resource.h"
#include "main_dialog_proc.h"

namespace {

// What the dialog box call returns when the dialog could not be created: a
// failure, not the normal end.
const INT_PTR DialogNotCreated = -1;
const unsigned ExitNoDialog = 1;

} // namespace

extern "C" void NetoptStart() {
    InitControls();
    INT_PTR result = RunDialogBox(RESOURCE_NAME(IDD_MAIN), MainDialogProc);
    EndProcess(result == DialogNotCreated ? ExitNoDialog : ExitOk);
}
