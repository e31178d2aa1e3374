// The process entry: the main dialog is the whole program. The exe links no
// C runtime, so this is the entry point itself, with nothing run before it.
#include <windows.h>

#include "../platform/dialog.h"
#include "../platform/process.h"
#include "../platform/win32/dialog_box.h"
#include "../resources/resource.h"
#include "main_dialog.h"
#include "main_dialog_proc.h"

extern "C" void NetoptStart() {
    InitControls();
    INT_PTR result = RunDialogBox(RESOURCE_NAME(IDD_MAIN), MainDialogProc);
    EndProcess(ExitCodeAfterMainDialog(result));
}
