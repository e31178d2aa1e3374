// End-to-end scenarios of the dial errors that the simulated modem reports.
#include "expect.h"

#include "../../resources/resource.h"

// Starts a run whose modem reports an error two seconds into the dial, and
// waits for the notifier's box, four seconds after the click.
namespace {

HWND RunIntoDialError(Program* p, const wchar_t* script, const wchar_t* text, long long* clicked) {
    SeedMachine();
    if (!Launch(p, script))
        return nullptr;
    *clicked = NowMs();
    Click(p->dialog, IDC_START);
    HWND box = WaitForWindow(*p, ErrorCaption, 8000);
    CHECK_NEAR_MS(*clicked + 4000, NowMs(), Tolerance);
    CheckBox(box, ErrorCaption, text, true);
    return box;
}

} // namespace

// 680: the notifier's box; the run goes on to the error box; closing the
// notifier's box ends the program with the result box still open.
void DialNoDialTone() {
    Program p;
    long long clicked;
    HWND notifierBox = RunIntoDialError(&p, L"680@2000", NoDialToneText, &clicked);
    if (notifierBox == nullptr)
        return;
    CHECK(!OnMainThread(p, notifierBox));
    std::vector<ModemEvent> hangUps = ModemEvents("RasHangUpA");
    CHECK(hangUps.size() == 1 && hangUps[0].Field("from") == "notifier");

    HWND resultBox = OtherBox(p, ErrorCaption, notifierBox, 12000);
    CHECK_NEAR_MS(clicked + 13000, NowMs(), Tolerance);
    CheckBox(resultBox, ErrorCaption, FailureText, true);
    CHECK(resultBox != nullptr && OnMainThread(p, resultBox));
    hangUps = ModemEvents("RasHangUpA");
    CHECK(hangUps.size() == 2 && hangUps.back().Field("from") == "program");
    CheckMtuWritten();

    CloseBox(notifierBox);
    CheckEndsWithCodeZero(&p, "the no-dial-tone box");
    Kill(&p);
}

// 631: a hang-up and nothing else; the run ends with the success box.
void DialUserDisconnection() {
    SeedMachine();
    Program p;
    if (!Launch(&p, L"631@2000"))
        return;
    long long clicked = RunAndFollowStages(p);
    HWND box = WaitForWindow(p, ResultCaption, 6000);
    CHECK(WindowsWithCaption(p, ErrorCaption).empty());
    CheckBox(box, ResultCaption, SuccessText, false);
    std::vector<ModemEvent> hangUps = ModemEvents("RasHangUpA");
    CHECK(hangUps.size() == 2);
    if (hangUps.size() == 2) {
        CHECK(hangUps[0].Field("from") == "notifier");
        CHECK_NEAR_MS(clicked + 4000, hangUps[0].atMs, Tolerance);
        CHECK(hangUps[1].Field("from") == "program");
        CHECK(hangUps[0].Field("handle") == hangUps[1].Field("handle"));
    }
    CloseBox(box);
    CheckStillRunningAndIdle(&p, "the success box");
    Click(p.dialog, IDC_CLOSE);
    CheckEndsWithCodeZero(&p, "Close");
    Kill(&p);
}

// Any other error: its box, the success box at the end of the run beside
// it, and the end of the program when the error box is closed.
void DialOtherError() {
    Program p;
    long long clicked;
    HWND errorBox = RunIntoDialError(&p, L"678@2000", ConnectionErrorText, &clicked);
    if (errorBox == nullptr)
        return;
    HWND resultBox = WaitForWindow(p, ResultCaption, 12000);
    CHECK_NEAR_MS(clicked + 13000, NowMs(), Tolerance);
    CheckBox(resultBox, ResultCaption, SuccessText, false);
    CloseBox(errorBox);
    CheckEndsWithCodeZero(&p, "the connection error box");
    Kill(&p);
}
