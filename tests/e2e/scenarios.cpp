// End-to-end scenarios: what a user does with netopt.exe and what they see.
// Usage: e2e_driver <scenario>; exit code 0 when every check passed.
#include <stdio.h>
#include <string.h>

#include "../../resources/resource.h"
#include "driver.h"

namespace {

const wchar_t MainCaption[] = L"Программа сетевой оптимизации";
const wchar_t ErrorCaption[] = L"Ошибка";
const wchar_t ResultCaption[] = L"Результат оптимизации";
const wchar_t FailureText[] = L"Ошибка. Оптимизация не возможна.";
const wchar_t SuccessText[] = L"Оптимизация выполнена.";
const wchar_t NoDialToneText[] = L"Нет сигнала в линии.";
const wchar_t ConnectionErrorText[] = L"Ошибка соединения.";

const wchar_t AboutCaption[] = L"О программе";
const wchar_t* const AboutTexts[] = {
    L"Программа сетевой", L"оптимизации V 1.2",          L"Команда netopt",
    L"www.example.org",   L"E-mail: netopt@example.org",
};

// A second either way around the schedule: this machine is shared.
const int Tolerance = 1000;
const WPARAM ButtonSetFocus = 6;

const wchar_t* const InfoLines[] = {
    L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ ",
    L"ПРОГРАММЫ ВНИМАТЕЛЬНО ",
    L"ПРОЧТИТЕ ЭТОТ ТЕКСТ!",
    L"",
    L"Данная программа предназначена для",
    L"оптимизации параметров модема и ",
    L"Вашего компьютера для ускорения ",
    L"загрузки WWW страниц через сеть",
    L"Интернет. Программа пока работает",
    L"только под Windows 98. Скорость ",
    L"загрузки, в случаи успешной ",
    L"оптимизации возрастает, примерно",
    L"в 1,5 - 2 раза. Оптимизацию, ",
    L"достаточно провести один раз,",
    L"после переустановки Windows.",
    L"После оптимизации обязательно",
    L"перезагрузите Windows!!!",
    L"",
    L"Внимание!!! Вы используете эту",
    L"программу на свой страх и риск.",
    L"И я как автор, предупреждаю Вас",
    L"об этом.",
};

std::wstring ExpectedInfoText() {
    std::wstring text;
    for (const wchar_t* line : InfoLines)
        text += std::wstring(line) + L"\r\n";
    return text + L"\r\n\r\n";
}

std::wstring StageText(int stage) {
    return L"Оптимизация " + std::to_wstring(stage * 10) + L"%";
}

// A Windows 98 machine as it comes: the adapter's MTU is "1500".
void SeedMachine() {
    ClearAdapter();
    SetAdapterValue("IPMTU", REG_SZ, std::string("1500", 5));
}

// The dial record as the program must send it, but for its 3 padding bytes.
std::string ExpectedDialRecordHex() {
    unsigned char record[1049] = {};
    record[0] = 0x1C; // 1052
    record[1] = 0x04;
    for (int i = 0; i < 70; ++i)
        record[261 + i] = static_cast<unsigned char>('0' + (i + 1) % 10);
    record[1033] = '*';
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : record) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

void CheckDialRecord(const ModemEvent& dial) {
    CHECK(dial.Field("size") == "1052");
    CHECK(dial.Field("type") == "0");
    CHECK(dial.Field("notifier") == "set");
    CHECK(strtoull(dial.Field("extensions").c_str(), nullptr, 16) == 0);
    CHECK(strtoull(dial.Field("phonebook").c_str(), nullptr, 16) == 0);
    std::string params = dial.Field("params");
    CHECK(params.size() == 2 * 1052);
    if (params.substr(0, 2 * 1049) != ExpectedDialRecordHex())
        Fail(__FILE__, __LINE__, "dial record differs: " + params.substr(0, 2 * 1049));
}

void CheckMtuWritten() {
    DWORD type = 0;
    std::string data;
    CHECK(ReadValue(AdapterKey, "IPMTU", &type, &data));
    CHECK(type == REG_SZ && data == std::string("576", 4));
    CHECK(ReadValue(ParameterKey, nullptr, &type, &data));
    CHECK(type == REG_SZ && data == std::string("576", 4));
}

void CheckBox(HWND window, const wchar_t* caption, const wchar_t* text, bool error) {
    CHECK(window != nullptr);
    if (window == nullptr)
        return;
    Box box = ReadBox(window);
    CHECK_TEXT(caption, box.caption);
    CHECK_TEXT(text, box.text);
    CHECK(box.topmost); // system-modal
    CHECK(error ? box.errorIcon : box.informationIcon);
}

// The other open box with this caption than the one given.
HWND OtherBox(const Program& program, const wchar_t* caption, HWND known, int timeoutMs) {
    long long deadline = NowMs() + timeoutMs;
    do {
        for (HWND window : WindowsWithCaption(program, caption))
            if (window != known)
                return window;
        Pause(20);
    } while (NowMs() < deadline);
    return nullptr;
}

bool OnMainThread(const Program& program, HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == program.process.dwThreadId;
}

void CheckStillRunningAndIdle(Program* program, const char* after) {
    Pause(400);
    if (WaitForExit(program, 0) != -1)
        Fail(__FILE__, __LINE__, std::string("the program ended after ") + after);
    if (!LooksIdle(*program))
        Fail(__FILE__, __LINE__, std::string("not idle after ") + after);
}

void CheckEndsWithCodeZero(Program* program, const char* after) {
    long code = WaitForExit(program, 5000);
    if (code != 0)
        Fail(__FILE__, __LINE__,
             std::string("exit code after ") + after + ": " + std::to_string(code));
}

// Presses a key and waits for the focus to reach the control.
void MoveFocus(const Program& p, WPARAM key, int control) {
    PressKey(p, key);
    long long deadline = NowMs() + 2000;
    while (FocusOf(p) != Item(p.dialog, control) && NowMs() < deadline)
        Pause(20);
    if (FocusOf(p) != Item(p.dialog, control))
        Fail(__FILE__, __LINE__, "the focus did not reach control " + std::to_string(control));
}

// ---- scenarios

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

// Follows the ten stages of a run; returns the moment of the click.
long long RunAndFollowStages(const Program& p) {
    HWND status = Item(p.dialog, IDC_STATUS);
    long long clicked = NowMs();
    Click(p.dialog, IDC_START);
    for (int stage = 1; stage <= 10; ++stage) {
        long long seen = WaitForText(status, StageText(stage), 4000);
        if (seen < 0) {
            Fail(__FILE__, __LINE__, "stage " + std::to_string(stage) + " never showed");
            continue;
        }
        // Stage 1 at once, stage n (from 2) n seconds after the click.
        CHECK_NEAR_MS(clicked + (stage == 1 ? 0 : stage * 1000), seen, Tolerance);
        if (stage == 1) {
            CHECK(IsWindowVisible(status));
            CHECK(IsWindowVisible(Item(p.dialog, IDC_PROGRESS)));
            CHECK(!IsWindowEnabled(Item(p.dialog, IDC_GROUP)));
        }
    }
    return clicked;
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

// Starts a run whose modem reports an error two seconds into the dial, and
// waits for the notifier's box, four seconds after the click.
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

// 680: the notifier's box; the run goes on to the error box; closing the
// notifier's box ends the program with the result box still open.
void DialNoDialTone() {
    Program p;
    long long clicked;
    HWND notifierBox = RunIntoDialError(&p, L"680@2000", NoDialToneText, &clicked);
    if (notifierBox == nullptr)
        return;
    CHECK(notifierBox != nullptr && !OnMainThread(p, notifierBox));
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

// The About dialog's caption, texts in template order, icon and focus.
void CheckAboutLook(const Program& p, HWND about) {
    CHECK(about != nullptr);
    if (about == nullptr)
        return;
    CHECK_TEXT(AboutCaption, TextOf(about));
    CHECK((GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    std::vector<std::wstring> texts = StaticTexts(about);
    CHECK(texts.size() == sizeof AboutTexts / sizeof AboutTexts[0]);
    for (size_t i = 0; i < texts.size() && i < sizeof AboutTexts / sizeof AboutTexts[0]; ++i)
        CHECK_TEXT(AboutTexts[i], texts[i]);
    CHECK_TEXT(L"ok", TextOf(Item(about, IDC_ABOUT_OK)));
    CHECK(ShowsIcon(Item(about, IDC_ABOUT_ICON)));
    CHECK(FocusOf(p) == Item(about, IDC_ABOUT_OK));
}

HWND OpenAbout(const Program& p, size_t alreadyOpen) {
    Click(p.dialog, IDC_ABOUT);
    long long deadline = NowMs() + 5000;
    while (WindowsWithCaption(p, AboutCaption).size() <= alreadyOpen && NowMs() < deadline)
        Pause(20);
    std::vector<HWND> open = WindowsWithCaption(p, AboutCaption);
    return open.size() > alreadyOpen ? open[0] : nullptr; // the topmost first
}

bool AboutCloses(const Program& p, size_t leftOpen) {
    long long deadline = NowMs() + 3000;
    while (WindowsWithCaption(p, AboutCaption).size() > leftOpen && NowMs() < deadline)
        Pause(20);
    return WindowsWithCaption(p, AboutCaption).size() == leftOpen;
}

// Run under a Western code page: the texts must still read as Russian.
void EnglishLocale() {
    CHECK(GetACP() != 1251);
    ClearAdapter();
    Program p;
    if (Launch(&p, L"")) {
        CHECK_TEXT(MainCaption, TextOf(p.dialog));
        CHECK_TEXT(L"Начать оптимизацию", TextOf(Item(p.dialog, IDC_START)));
        CHECK_TEXT(ExpectedInfoText(), FullTextOf(Item(p.dialog, IDC_INFO)));
        HWND about = OpenAbout(p, 0);
        CheckAboutLook(p, about);
        Click(about, IDC_ABOUT_OK);
        CHECK(AboutCloses(p, 0));
        Click(p.dialog, IDC_START);
        HWND box = WaitForWindow(p, ErrorCaption, 5000);
        CheckBox(box, ErrorCaption, FailureText, true);
        CHECK_TEXT(StageText(1), TextOf(Item(p.dialog, IDC_STATUS)));
        CloseBox(box);
        PressCloseBox(p.dialog);
        CheckEndsWithCodeZero(&p, "the close box");
        Kill(&p);
    }
    SeedMachine();
    Program dial;
    if (Launch(&dial, L"680@0")) {
        Click(dial.dialog, IDC_START);
        HWND box = WaitForWindow(dial, ErrorCaption, 8000);
        CheckBox(box, ErrorCaption, NoDialToneText, true);
        CHECK(WaitForText(Item(dial.dialog, IDC_STATUS), StageText(10), 12000) > 0);
        HWND resultBox = OtherBox(dial, ErrorCaption, box, 6000);
        CheckBox(resultBox, ErrorCaption, FailureText, true);
        CloseBox(box);
        CheckEndsWithCodeZero(&dial, "the no-dial-tone box");
        Kill(&dial);
    }
}

void AboutDialog() {
    ClearAdapter(); // a run from inside the About dialog fails at its check, after a second
    Program p;
    if (!Launch(&p, L""))
        return;
    HWND about = OpenAbout(p, 0);
    CheckAboutLook(p, about);
    Click(about, IDC_ABOUT_OK);
    CHECK(AboutCloses(p, 0));

    const struct {
        const char* what;
        void (*close)(const Program&, HWND);
    } closers[] = {
        {"Enter", [](const Program& q, HWND) { PressKey(q, VK_RETURN); }},
        {"Esc", [](const Program& q, HWND) { PressKey(q, VK_ESCAPE); }},
        {"the close box", [](const Program&, HWND a) { PressCloseBox(a); }},
    };
    for (const auto& closer : closers) {
        Note(closer.what);
        about = OpenAbout(p, 0);
        CHECK(about != nullptr);
        closer.close(p, about);
        CHECK(AboutCloses(p, 0));
    }

    // The main dialog's buttons still work from within the About dialog's loop.
    HWND first = OpenAbout(p, 0);
    Click(p.dialog, IDC_START);
    HWND box = WaitForWindow(p, ErrorCaption, 5000);
    CheckBox(box, ErrorCaption, FailureText, true);
    CloseBox(box);
    Pause(300);
    CHECK(WindowsWithCaption(p, AboutCaption).size() == 1);

    HWND second = OpenAbout(p, 1);
    CHECK(second != nullptr && second != first);
    CheckAboutLook(p, second);

    // Close ends the main dialog's loop only once both About loops are done.
    Click(p.dialog, IDC_CLOSE);
    Pause(500);
    CHECK(WaitForExit(&p, 0) == -1);
    Click(second, IDC_ABOUT_OK);
    CHECK(AboutCloses(p, 1));
    Pause(300);
    CHECK(WaitForExit(&p, 0) == -1);
    Click(first, IDC_ABOUT_OK);
    CheckEndsWithCodeZero(&p, "the last About dialog");
    Kill(&p);
}

const struct {
    const char* name;
    void (*run)();
} Scenarios[] = {
    {"idle_and_keyboard", IdleLookAndKeyboard},
    {"close", CloseBoxAndCloseButton},
    {"full_run", FullRun},
    {"check_fails", CheckFails},
    {"dial_680", DialNoDialTone},
    {"dial_631", DialUserDisconnection},
    {"dial_other", DialOtherError},
    {"english_locale", EnglishLocale},
    {"about_dialog", AboutDialog},
    {"demo", Demo},
    {"benchmark", Benchmark},
};

} // namespace

int main(int argc, char** argv) {
    for (const auto& scenario : Scenarios) {
        if (argc < 2 || strcmp(argv[1], scenario.name) != 0)
            continue;
        scenario.run();
        printf("%s %s (%d failed checks)\n", Failures == 0 ? "PASS" : "FAIL", scenario.name,
               Failures);
        return Failures == 0 ? 0 : 1;
    }
    printf("usage: e2e_driver <scenario>; scenarios:");
    for (const auto& scenario : Scenarios)
        printf(" %s", scenario.name);
    printf("\n");
    return 2;
}
