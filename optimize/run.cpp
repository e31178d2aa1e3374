// The stages of a run, shown in the main dialog's status text and bar.
#include "run.h"

#include "../platform/dialog.h"
#include "../platform/process.h"
#include "../resources/resource.h"
#include "mtu_settings.h"
#include "test_dial.h"

namespace {

const unsigned StageWaitMs = 1000;

const char* const StageTexts[] = {
    "Оптимизация 10%", "Оптимизация 20%", "Оптимизация 30%", "Оптимизация 40%", "Оптимизация 50%",
    "Оптимизация 60%", "Оптимизация 70%", "Оптимизация 80%", "Оптимизация 90%", "Оптимизация 100%",
};
static_assert(sizeof StageTexts / sizeof StageTexts[0] == StageCount, "a text for each stage");

// Stage 1 to StageCount: its text, and the bar one step further.
void ShowStage(int stage) {
    SendItemText(MainDialogHandle, IDC_STATUS, StageTexts[stage - 1]);
    StepProgress(MainDialogHandle, IDC_PROGRESS);
}

} // namespace

bool RunOptimization() {
    ShowStage(1);
    WaitMilliseconds(StageWaitMs);
    if (!CheckMtuValue())
        return false;
    // A failed write would otherwise be reported as a successful optimization.
    if (!WriteMtuValues())
        return false;
    WaitMilliseconds(StageWaitMs);
    StartTestDial();
    for (int stage = 2; stage < StageCount; ++stage) {
        ShowStage(stage);
        WaitMilliseconds(StageWaitMs);
    }
    ShowStage(StageCount);
    HangUpTestDial();
    return true;
}
