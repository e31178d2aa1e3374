// The main dialog's behaviour: the information text, the commands, and the
// Start sequence around a run with its result box.
#include "main_dialog.h"

#include "../optimize/run.h"
#include "../optimize/test_dial.h"
#include "../platform/alerts.h"
#include "../platform/dialog.h"
#include "../resources/resource.h"
#include "about_dialog.h"

HWND MainDialogHandle = nullptr;
const char* InfoText = nullptr;

namespace {

// The bar goes from 0 to 100 in one step a stage.
const int ProgressMax = 100;
const int ProgressStep = ProgressMax / StageCount;
static_assert(ProgressStep * StageCount == ProgressMax, "the last stage fills the bar");

const char FailureText[] = "Ошибка. Оптимизация не возможна.";
const char SuccessText[] = "Оптимизация выполнена.";
const char SuccessCaption[] = "Результат оптимизации";

void ShowProgressDisplay(HWND dialog) {
    EnableControl(dialog, IDC_GROUP, false);
    ShowControl(dialog, IDC_PROGRESS, true);
    ShowControl(dialog, IDC_STATUS, true);
    SetProgressRange(dialog, IDC_PROGRESS, 0, ProgressMax);
    SetProgressStep(dialog, IDC_PROGRESS, ProgressStep);
    SetProgressPosition(dialog, IDC_PROGRESS, 0);
    RepaintDialog(dialog);
}

// A no-dial-tone error of this or an earlier run makes any run a failure.
void ReportResult(bool ok) {
    PlayDefaultSound();
    if (!ok || NoDialTone.load())
        ShowErrorBox(MainDialogHandle, FailureText, ErrorCaption);
    else
        ShowInformationBox(MainDialogHandle, SuccessText, SuccessCaption);
}

void RestoreIdleLook(HWND dialog) {
    EnableControl(dialog, IDC_GROUP, true);
    FocusControl(dialog, IDC_START);
    ShowControl(dialog, IDC_PROGRESS, false);
    ShowControl(dialog, IDC_STATUS, false);
    RepaintDialog(dialog);
}

// Holds the dialog's thread for the whole run: no messages are dispatched.
void RunStartSequence(HWND dialog) {
    ShowProgressDisplay(dialog);
    bool ok = RunOptimization();
    ReportResult(ok);
    RestoreIdleLook(dialog);
}

} // namespace

// The resource has no terminating zero: hand over a copy bounded by its size.
void ShowInformationText(HWND dialog) {
    size_t size = 0;
    InfoText = LoadTextResource(RESOURCE_NAME(IDR_INFO_TEXT), &size);
    char text[ItemTextCapacity];
    size_t length = size < ItemTextCapacity ? size : ItemTextCapacity - 1;
    for (size_t i = 0; i < length; ++i)
        text[i] = InfoText[i];
    text[length] = 0;
    SetItemText(dialog, IDC_INFO, text);
}

// The whole wParam is compared, so a notification code other than 0
// (BN_CLICKED) matches no button. IDOK and IDCANCEL do nothing.
bool OnMainDialogCommand(HWND dialog, uintptr_t wParam) {
    switch (wParam) {
    case IDC_START:
        RunStartSequence(dialog);
        return false;
    case IDC_CLOSE:
        EndDialogBox(dialog);
        return true;
    case IDC_ABOUT:
        OpenAboutDialog();
        return false;
    default:
        return false;
    }
}

bool OnMainDialogClose(HWND dialog) {
    EndDialogBox(dialog);
    return true;
}
