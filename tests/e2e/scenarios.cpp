// The end-to-end scenarios, one ctest test each, run side by side, and the
// driver's entry. Usage: e2e_driver <scenario>; exit code 0 when all passed.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../../resources/resource.h"
#include "driver.h"

namespace {

const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.";
const std::string Mtu = "1:" + std::string("576", 4); // REG_SZ
// The program's calls that the scenarios look for: its two sounds, and its
// stages, WM_SETTEXT (0x0C) to the status text (0x14).
#define MESSAGE_BEEP "user32.MessageBeep", "(00000000)"
#define BEEP "KERNEL32.Beep", "(000003e8,000003e8)"
#define STAGE "user32.SendDlgItemMessage", ",00000014,0000000c,"

std::wstring Stage(int stage) {
    return L"Оптимизация " + std::to_wstring(10 * stage) + L"%";
}

long long Last(const std::vector<long long>& times) {
    return times.empty() ? 0 : times.back();
}

// A line of the modem's log: its moment, or one of its fields.
std::string Modem(const char* kind, size_t index, const char* field = nullptr) {
    std::vector<std::string> lines = ModemLog(kind);
    std::string line = index < lines.size() ? lines[index] : "";
    return field ? Field(line, field) : line.substr(0, line.find(' '));
}

long long At(const char* kind, size_t index) {
    return atoll(Modem(kind, index).c_str());
}

// The dial record in hex as the simulated modem logs it, but for the three
// bytes of padding at its end, which the program leaves unset: the size,
// no entry, the number, no callback number, user or password, the domain.
const std::string Digits = "31323334353637383930",
                  Record = "1c040000" + std::string(514, '0') + Digits + Digits + Digits + Digits +
                           Digits + Digits + Digits + std::string(1404, '0') + "2a" +
                           std::string(30, '0');

bool LooksIdle(const Program& p) {
    return !IsWindowVisible(GetDlgItem(p.dialog, IDC_STATUS)) &&
           !IsWindowVisible(GetDlgItem(p.dialog, IDC_PROGRESS)) && IsWindowEnabled(p.dialog) &&
           IsWindowEnabled(GetDlgItem(p.dialog, IDC_GROUP)) &&
           Focus(p) == GetDlgItem(p.dialog, IDC_START);
}

// The bar shows as far as the status text says. While the program sleeps,
// Wine may put its last painting on screen only at the next stage.
bool BarMatchesStatus(const Program& p, bool sleeping = false) {
    std::wstring status = Text(GetDlgItem(p.dialog, IDC_STATUS));
    int behind = _wtoi(status.c_str() + status.find(L' ') + 1) -
                 FilledPercent(GetDlgItem(p.dialog, IDC_PROGRESS));
    return abs(behind) <= 5 || (sleeping && abs(behind - 10) <= 5);
}

// A box as its user sees it, the sounds made since the launch, and whether
// it keeps the main dialog disabled, as a box that it owns does.
HWND CheckBox(const Program& p, const wchar_t* caption, const wchar_t* text, size_t messageBeeps,
              size_t beeps, bool owned, HWND other = nullptr) {
    HWND box = WaitWindow(p, caption, other);
    CHECK_TEXT(caption, Text(box));
    CHECK_TEXT(text, StaticTexts(box));
    CHECK(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST); // system-modal
    CHECK(WaitUntil([&] { return IconIn(box) == (caption == Error ? Icon::Red : Icon::Blue); }));
    CHECK(CallTimes(MESSAGE_BEEP).size() == messageBeeps && CallTimes(BEEP).size() == beeps);
    CHECK(WaitUntil([&] { return IsWindowEnabled(p.dialog) != owned; }));
    return box;
}

// Clicks About and waits for the count-th About dialog, which has no owner:
// the main dialog stays enabled.
HWND OpenAbout(const Program& p, size_t count) {
    Click(GetDlgItem(p.dialog, IDC_ABOUT));
    CHECK(WaitUntil([&] { return Windows(p, About).size() == count; }));
    HWND about = WaitWindow(p, About);
    CHECK_TEXT(L"Программа сетевой|оптимизации V 1.2|Команда netopt|www.example.org|"
               L"E-mail: netopt@example.org|ok",
               StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)));
    CHECK(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    CHECK(WaitUntil([&] { return IconIn(about) == Icon::Blue; }));
    CHECK(WaitUntil([&] { return Focus(p) == GetDlgItem(about, IDC_ABOUT_OK); }));
    CHECK(IsWindowEnabled(p.dialog));
    return about;
}

// Clicks Start and follows the ten stages on screen, the bar filled as far
// as each says; the program showed them a second apart, but two between the
// first two, which the writes and the dial come between. The moments of
// stages 2 and 10.
std::pair<long long, long long> RunStages(const Program& p) {
    Click(GetDlgItem(p.dialog, IDC_START));
    long long at[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        CHECK(WaitUntil([&] { return Text(GetDlgItem(p.dialog, IDC_STATUS)) == Stage(stage); }));
        at[stage] = Last(CallTimes(STAGE));
        CHECK(WaitUntil([&] { return BarMatchesStatus(p, true); }, 800));
        CHECK(!IsWindowEnabled(GetDlgItem(p.dialog, IDC_GROUP)));
        if (stage > 1)
            CHECK_NEAR(at[stage - 1] + (stage == 2 ? 2000 : 1000), at[stage]);
        printf("  stage %d at %lld ms\n", stage, at[stage] - at[1]);
        if (stage == 5)
            Snapshot("running");
    }
    return {at[2], at[10]};
}

// A run whose check or write fails: the error box a second after stage 1,
// the bar at 10, nothing dialled.
void RunIntoFailure(const Program& p, size_t messageBeeps) {
    Click(GetDlgItem(p.dialog, IDC_START));
    HWND box = CheckBox(p, Error, Failed, messageBeeps, 0, true);
    CHECK_NEAR(Last(CallTimes(STAGE)) + 1000, Last(CallTimes(MESSAGE_BEEP)));
    CHECK_TEXT(Stage(1), Text(GetDlgItem(p.dialog, IDC_STATUS)));
    CHECK(WaitUntil([&] { return BarMatchesStatus(p); }) && ModemLog("dial").empty());
    Press(box, {VK_RETURN});
    CHECK(WaitUntil([&] { return LooksIdle(p); }));
}

// Every kind of text the program shows, through a run that fails its check.
void CheckTexts() {
    SetAdapter("IPMTU", REG_BINARY, std::string(256, 'x'));
    Program p;
    if (!Launch(&p, L""))
        return;
    CHECK_TEXT(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе",
               Text(p.dialog) + L"|" + Text(GetDlgItem(p.dialog, IDC_START)) + L"|" +
                   Text(GetDlgItem(p.dialog, IDC_CLOSE)) + L"|" +
                   Text(GetDlgItem(p.dialog, IDC_ABOUT)));
    // The information text, its 610 bytes and no more, converted right.
    std::wstring info = EditText(GetDlgItem(p.dialog, IDC_INFO));
    CHECK_TEXT(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610",
               info.substr(0, 29) + L"|" + info.substr(info.size() - 14) + L"|" +
                   std::to_wstring(info.size()));
    CHECK(WaitUntil([&] { return LooksIdle(p); }));
    Snapshot("idle");
    Press(p.dialog, {VK_ESCAPE}); // IDCANCEL and IDOK do nothing
    Press(p.dialog, {VK_RETURN});
    HWND about = OpenAbout(p, 1);
    Snapshot("about");
    Press(about, {VK_RETURN});
    RunIntoFailure(p, 1);
    Press(p.dialog, {VK_MENU, VK_F4});
    CHECK(ExitCode(p) == 0);
}

// The texts; two runs with the bar, the box and its sound, the registry and
// the modem's calls, the second call ended by the modem with 631, which
// only hangs up; Close.
void Success() {
    CheckTexts();
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    Program p;
    if (!Launch(&p, L"|631@2000"))
        return;
    for (size_t run = 1; run <= 2; ++run) {
        std::pair<long long, long long> at = RunStages(p);
        HWND box = CheckBox(p, Result, L"Оптимизация выполнена.", run, 0, true);
        CHECK(WaitUntil([&] { return BarMatchesStatus(p); }));
        CHECK_NEAR(at.second + 3000, Last(CallTimes(MESSAGE_BEEP))); // the wait after the hang-up
        CHECK(Value(AdapterKey, "IPMTU") == Mtu && Value(ParameterKey, nullptr) == Mtu);
        CHECK(Modem("dial", run - 1, "args") == "0,0,0" && Windows(p, Error).empty());
        std::string record = Modem("dial", run - 1, "record");
        CHECK(record.size() == 2 * 1052 && record.compare(0, Record.size(), Record) == 0);
        CHECK_NEAR(at.first, At("dial", run - 1));
        CHECK_NEAR(at.second, At("hangup", 2 * run - 2));
        Snapshot("result");
        Press(box, {VK_RETURN});
        CHECK(WaitUntil([&] { return LooksIdle(p); }));
    }
    const char* hangUps[] = {"program", "notifier", "program"}; // of calls 1, 2 and 2
    for (size_t i = 0; i < 3; ++i)
        CHECK(Modem("hangup", i, "by") == hangUps[i] &&
              Modem("hangup", i, "handle") == Modem("dial", i > 0, "handle"));
    CHECK_NEAR(At("notify", 3), At("hangup", 1));
    Click(GetDlgItem(p.dialog, IDC_CLOSE));
    CHECK(ExitCode(p) == 0);
}

// A dial error two seconds into the call: a tone, the notifier's box with no
// owner, the end of the program once it is closed. 680 also turns the run's
// result into the error box.
void DialErrors() {
    SetAdapter("IPMTU", REG_SZ, std::string("1500", 5));
    for (const wchar_t* script : {L"678@2000", L"680@2000"}) {
        bool noDialTone = wcsncmp(script, L"680", 3) == 0;
        Program p;
        if (!Launch(&p, script))
            continue;
        Click(GetDlgItem(p.dialog, IDC_START));
        HWND box = CheckBox(p, Error, noDialTone ? L"Нет сигнала в линии." : L"Ошибка соединения.",
                            0, 1, false);
        CHECK_NEAR(At("notify", 0), Last(CallTimes(BEEP)));
        CHECK(Modem("hangup", 0, "by") == "notifier");
        if (noDialTone) {
            HWND result = CheckBox(p, Error, Failed, 1, 1, true, box);
            Click(GetDlgItem(result, IDOK)); // on top, but the notifier's box keeps the keyboard
            CHECK(WaitUntil([&] { return LooksIdle(p); }));
        }
        Click(GetDlgItem(box, IDOK));
        CHECK(ExitCode(p) == 0);
    }
}

// Runs that fail, each started while an About dialog is open; the ways of
// closing About; then the texts as Windows 98 shows them, through the ANSI
// calls with code page 1251.
void CheckFailsAndAbout() {
    SetAdapter();
    Program p;
    if (!Launch(&p, L""))
        return;
    HWND about = OpenAbout(p, 1);
    // No adapter key, no IPMTU, an IPMTU of 256 bytes, a parameter key that
    // cannot be written: the IPMTU after each.
    const char* names[] = {nullptr, "Other", "IPMTU", "IPMTU"};
    std::string after[] = {"", "", "3:" + std::string(256, 'x'), Mtu};
    for (size_t run = 0; run < 4; ++run) {
        SetAdapter(names[run], REG_BINARY, std::string(run == 2 ? 256 : 4, 'x'));
        if (run == 3)
            LockParameterKey();
        RunIntoFailure(p, run + 1);
        CHECK(Value(AdapterKey, "IPMTU") == after[run] && Value(ParameterKey, nullptr).empty());
    }
    for (auto keys : {std::initializer_list<WORD>{VK_RETURN}, {VK_ESCAPE}, {VK_MENU, VK_F4}}) {
        Press(OpenAbout(p, 2), keys);
        CHECK(WaitUntil([&] { return Windows(p, About).size() == 1; }));
    }
    Click(GetDlgItem(p.dialog, IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
    CHECK(ExitCode(p) == 0);
    PretendWindows98();
    CheckTexts();
}

// Code page 1252: the texts through the wide calls; as Windows 98, whose
// wide calls are stubs, through the ANSI ones, each letter a "?".
void English() {
    CHECK(GetACP() == 1252);
    CheckTexts();
    PretendWindows98();
    Program p;
    if (!Launch(&p, L""))
        return;
    CHECK_TEXT(L"????????? ??????? ???????????", Text(p.dialog));
    Press(p.dialog, {VK_MENU, VK_F4});
    CHECK(ExitCode(p) == 0);
}

} // namespace

int main(int argc, char** argv) {
    const char* names[] = {"success", "dial_errors", "check_and_about", "english"};
    void (*scenarios[])() = {Success, DialErrors, CheckFailsAndAbout, English};
    for (int i = 0; i < 4; ++i)
        if (argc == 2 && strcmp(argv[1], names[i]) == 0) {
            scenarios[i]();
            printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", argv[1], Failures);
            return Failures != 0;
        }
    printf("usage: e2e_driver success|dial_errors|check_and_about|english\n");
    return 2;
}
