// End-to-end scenarios of the main dialog: its look, its commands and keys,
// a full run and the failed checks.
#include "expect.h"

#include "../../resources/resource.h"

// The idle look, the commands that must not end the dialog, then Enter on a
// button made default by Tab: Start starts a run, Close ends the program.
void IdleLookAndKeyboard() {
    ClearAdapter(); // a run from the keyboard fails at its check, after a second
    Program p;
    if (!Launch(&p, L""))
        return;
    HWND dialog = p.dialog;
    CHECK_TEXT(MainCaption, TextOf(dialog));
    CHECK_TEXT(L"Начать оптимизацию", TextOf(Item(dialog, IDC_START)));
    CHECK_TEXT(L"Закрыть", TextOf(Item(dialog, IDC_CLOSE)));
    CHECK_TEXT(L"О программе", TextOf(Item(dialog, IDC_ABOUT)));
    CHECK_TEXT(ExpectedInfoText(), FullTextOf(Item(dialog, IDC_INFO)));
    CHECK(LooksIdle(p));

    SendCommand(dialog, IDOK);
    CheckStillRunningAndIdle(&p, "IDOK");
    SendCommand(dialog, IDCANCEL);
    CheckStillRunningAndIdle(&p, "IDCANCEL");
    PressKey(p, VK_ESCAPE);
    CheckStillRunningAndIdle(&p, "Esc");
    PressKey(p, VK_RETURN); // no default button yet: arrives as IDOK
    CheckStillRunningAndIdle(&p, "Enter at start");
    SendCommand(dialog, MAKEWPARAM(IDC_CLOSE, ButtonSetFocus));
    CheckStillRunningAndIdle(&p, "Close with a notification code");
    SendCommand(dialog, MAKEWPARAM(IDC_START, ButtonSetFocus));
    CheckStillRunningAndIdle(&p, "Start with a notification code");

    // Tab and the arrows move the focus as the dialog manager does, and make
    // the push button they reach the default one, which Enter then presses.
    MoveFocus(p, VK_TAB, IDC_CLOSE);
    MoveFocus(p, VK_TAB, IDC_ABOUT);
    PressKey(p, VK_RETURN);
    HWND about = WaitForWindow(p, AboutCaption, 5000);
    CHECK(about != nullptr);
    PressKey(p, VK_ESCAPE);
    Pause(400);
    CHECK(WaitForExit(&p, 0) == -1);
    CHECK(WindowsWithCaption(p, AboutCaption).empty());
    CHECK(!IsWindowVisible(Item(dialog, IDC_STATUS)));

    MoveFocus(p, VK_UP, IDC_CLOSE);
    MoveFocus(p, VK_UP, IDC_START);
    long long pressed = NowMs();
    PressKey(p, VK_RETURN);
    HWND box = WaitForWindow(p, ErrorCaption, 5000);
    CHECK_NEAR_MS(pressed + 1000, NowMs(), Tolerance);
    CheckBox(box, ErrorCaption, FailureText, true);
    CloseBox(box);
    CheckStillRunningAndIdle(&p, "the result box");

    MoveFocus(p, VK_TAB, IDC_CLOSE);
    PressKey(p, VK_RETURN);
    CheckEndsWithCodeZero(&p, "Enter on Close");
    Kill(&p);
}

void CloseBoxAndCloseButton() {
    SeedMachine();
    Program first;
    if (Launch(&first, L"")) {
        PressCloseBox(first.dialog);
        CheckEndsWithCodeZero(&first, "the close box");
        Kill(&first);
    }
    Program second;
    if (Launch(&second, L"")) {
        Click(second.dialog, IDC_CLOSE);
        CheckEndsWithCodeZero(&second, "Close");
        Kill(&second);
    }
}

void FullRun() {
    SeedMachine();
    Program p;
    if (!Launch(&p, L""))
        return;
    long long clicked = RunAndFollowStages(p);
    HWND box = WaitForWindow(p, ResultCaption, 6000);
    CHECK_NEAR_MS(clicked + 13000, NowMs(), Tolerance);
    CheckBox(box, ResultCaption, SuccessText, false);
    CHECK(ProgressPosition(p.dialog) == 100);
    CHECK(IsWindowVisible(Item(p.dialog, IDC_STATUS)));
    CheckMtuWritten();

    std::vector<ModemEvent> dials = ModemEvents("RasDialA");
    CHECK(dials.size() == 1);
    if (!dials.empty()) {
        CheckDialRecord(dials[0]);
        CHECK_NEAR_MS(clicked + 2000, dials[0].atMs, Tolerance);
    }
    std::vector<ModemEvent> hangUps = ModemEvents("RasHangUpA");
    CHECK(hangUps.size() == 1);
    if (!dials.empty() && !hangUps.empty()) {
        CHECK(hangUps[0].Field("handle") == dials[0].Field("handle"));
        CHECK(hangUps[0].Field("from") == "program");
        CHECK_NEAR_MS(clicked + 10000, hangUps[0].atMs, Tolerance);
    }
    CloseBox(box);
    CheckStillRunningAndIdle(&p, "the success box");

    // A second run starts again from 0: from 100 the bar would wrap round.
    RunAndFollowStages(p);
    box = WaitForWindow(p, ResultCaption, 6000);
    CheckBox(box, ResultCaption, SuccessText, false);
    CHECK(ProgressPosition(p.dialog) == 100);
    dials = ModemEvents("RasDialA");
    hangUps = ModemEvents("RasHangUpA");
    CHECK(dials.size() == 2 && hangUps.size() == 2);
    if (dials.size() == 2 && hangUps.size() == 2) {
        CHECK(dials[1].Field("handle") != dials[0].Field("handle"));
        CHECK(hangUps[1].Field("handle") == dials[1].Field("handle"));
    }
    CloseBox(box);
    CheckStillRunningAndIdle(&p, "the second success box");
    Click(p.dialog, IDC_CLOSE);
    CheckEndsWithCodeZero(&p, "Close");
    Kill(&p);
}

void CheckFails() {
    const struct {
        const char* what;
        void (*arrange)();
        bool valueKept;
    } cases[] = {
        {"no adapter key", [] { ClearAdapter(); }, false},
        {"no IPMTU value",
         [] {
             ClearAdapter();
             SetAdapterValue(nullptr, 0, "");
         },
         false},
        {"a value of 256 bytes",
         [] {
             ClearAdapter();
             SetAdapterValue("IPMTU", REG_BINARY, std::string(256, 'x'));
         },
         true},
    };
    for (const auto& c : cases) {
        Note(c.what);
        c.arrange();
        Program p;
        if (!Launch(&p, L""))
            continue;
        long long clicked = NowMs();
        Click(p.dialog, IDC_START);
        HWND box = WaitForWindow(p, ErrorCaption, 5000);
        CHECK_NEAR_MS(clicked + 1000, NowMs(), Tolerance);
        CheckBox(box, ErrorCaption, FailureText, true);
        CHECK_TEXT(StageText(1), TextOf(Item(p.dialog, IDC_STATUS)));
        CHECK(IsWindowVisible(Item(p.dialog, IDC_STATUS)));
        CHECK(ProgressPosition(p.dialog) == 10);
        DWORD type;
        std::string data;
        CHECK(!ReadValue(ParameterKey, nullptr, &type, &data));
        bool present = ReadValue(AdapterKey, "IPMTU", &type, &data);
        CHECK(present == c.valueKept);
        if (c.valueKept)
            CHECK(type == REG_BINARY && data == std::string(256, 'x'));
        CHECK(ModemEvents("RasDialA").empty());
        CloseBox(box);
        CheckStillRunningAndIdle(&p, "the error box");
        PressCloseBox(p.dialog);
        CheckEndsWithCodeZero(&p, "the close box");
        Kill(&p);
    }
}
