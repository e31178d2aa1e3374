// The program as its user expects it: its texts, sounds and records, and the steps that check
// its windows on the way.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <string>

#include "../../platform/dial_params.h"
#include "../../resources/resource.h"
#include "input.h"
#include "logs.h"
#include "pixels.h"

namespace {

const std::string AdapterKey = "System\\CurrentControlSet\\Services\\Class\\Net\\0000",
                  NdiKey = AdapterKey + "\\Ndi", ParameterKey = NdiKey + "\\params\\IPMTU";

const std::string DefaultSound = "MessageBeep(0)", Tone = "Beep(1000 Hz, 1000 ms)";
const wchar_t About[] = L"О программе", Error[] = L"Ошибка", Result[] = L"Результат оптимизации";
const wchar_t Failed[] = L"Ошибка. Оптимизация не возможна.", Done[] = L"Оптимизация выполнена.",
              NoSignal[] = L"Нет сигнала в линии.", NoConnection[] = L"Ошибка соединения.";
const std::string Mtu = "REG_SZ \"576\", 4 bytes"; // with its terminating zero
// The fonts that the dialogs' texts are laid out in.
const HFONT MainFont = TemplateFont(IDD_MAIN), AboutFont = TemplateFont(IDD_ABOUT);
// A text field of the dial record in hex: the text, then zeros to the field's end.
std::string Field(const std::string& text, size_t size) {
    std::string hex;
    for (unsigned char byte : text + std::string(size - text.size(), '\0'))
        hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
    return hex;
}
const std::string Number = "1234567890123456789012345678901234567890123456789012345678901234567890";
// A new call (no handle given) through the default phone book with no extensions and a notifier
// of type 0: its record of 1052 bytes, in the fields that the dial-up service defines, and the
// number it holds.
const std::string Dialled = " 0,0,0,0 1c040000" + Field("", sizeof DialParams::szEntryName) +
                            Field(Number, sizeof DialParams::szPhoneNumber) +
                            Field("", sizeof DialParams::szCallbackNumber) +
                            Field("", sizeof DialParams::szUserName) +
                            Field("", sizeof DialParams::szPassword) +
                            Field("*", sizeof DialParams::szDomain) + " " + Number;

// What a user sees of the main dialog's state.
std::string Look() {
    std::string look = IsWindowVisible(Item(IDC_STATUS)) ? "status shown" : "status hidden";
    look += IsWindowVisible(Item(IDC_PROGRESS)) ? ", bar shown" : ", bar hidden";
    look += IsWindowEnabled(Dialog) ? ", enabled" : ", disabled";
    look += IsWindowEnabled(Item(IDC_GROUP)) ? ", group box enabled" : ", group box disabled";
    return look + (Focus(Dialog) == IDC_START ? ", focus on Start" : ", focus elsewhere");
}
const std::string Idle = "status hidden, bar hidden, enabled, group box enabled, focus on Start";

// The bar's fill on screen, to the last blue pixel of its middle row, against the status text.
// While a run sleeps, Wine may paint only at the next stage: a stage behind is as good as level.
std::string Bar(bool running = false) {
    RECT rect{};
    GetWindowRect(Item(IDC_PROGRESS), &rect);
    rect.top = (rect.top + rect.bottom) / 2;
    rect.bottom = rect.top + 1;
    std::vector<DWORD> row = Grab(rect);
    auto blue = [](DWORD pixel) { return (pixel & 255) > 150 && pixel >> 16 < 120; };
    long filled = row.rend() - std::find_if(row.rbegin(), row.rend(), blue);
    std::wstring status = Text(Item(IDC_STATUS));
    long behind = _wtol(status.c_str() + status.find(L' ') + 1) -
                  filled * 100 / std::max<long>(row.size(), 1);
    if (abs(behind) <= 5 || (running && abs(behind - 10) <= 5))
        return "level with the status";
    return std::to_string(behind) + "% behind the status";
}

// The number-th box: its caption and text, the status behind a result box whole on screen, the
// sound before it and its flags; the result boxes disable the main dialog, their owner; the
// notifier's, after its hang-up and tone, has none.
HWND CheckBox(size_t number, const std::string& sound, const wchar_t* text,
              const std::vector<HWND>& leftOut = {}, const Where& at = Where::current()) {
    const wchar_t* caption = text == std::wstring(Done) ? Result : Error;
    HWND box = WaitWindow(caption, leftOut, at);
    CHECK_EQ(caption + std::wstring(L"|") + text, Text(box) + L"|" + StaticTexts(box), at);
    CHECK_EQ("", sound == Tone ? "" : Cut(Dialog, MainFont), at);
    // MB_SYSTEMMODAL, with MB_ICONERROR under the error caption, else MB_ICONINFORMATION.
    auto flags = caption == Error ? "MessageBox(MB_OK | MB_ICONERROR | MB_SYSTEMMODAL)"
                                  : "MessageBox(MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL)";
    std::vector<std::string> alerts = Alerts();
    alerts.resize(std::max(alerts.size(), 2 * number));
    CHECK_EQ(sound + ", " + flags, alerts[2 * number - 2] + ", " + alerts[2 * number - 1], at);
    CHECK_SOON(sound == Tone, IsWindowEnabled(Dialog) != 0, at);
    if (sound == Tone) { // the notifier hangs up at once, before its tone
        CheckWait(ModemMs("notify"), 0, ModemMs("hangup \\d+ notifier"), at);
        CheckWait(ModemMs("hangup \\d+ notifier"), 0, Last(Beeps), at);
    }
    return box;
}

// Opens an About dialog besides the one open, with no owner to disable: centred, with a close box,
// the version that CMakeLists.txt gives the build (NETOPT_VERSION), its icon as icon.txt draws it.
HWND OpenAbout(HWND open = nullptr, const Where& at = Where::current()) {
    Click(Item(IDC_ABOUT), at);
    HWND about = WaitWindow(About, {open}, at);
    CHECK_EQ(L"Программа сетевой|оптимизации V " + std::wstring(_wgetenv(L"NETOPT_VERSION")) +
                 L"|Команда netopt|www.example.org|E-mail: netopt@example.org|ok",
             StaticTexts(about) + L"|" + Text(GetDlgItem(about, IDC_ABOUT_OK)), at);
    CHECK_EQ(WS_EX_TOPMOST, GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST, at);
    CHECK_EQ("centred, close", Frame(about), at);
    CHECK_EQ("", Cut(about, AboutFont), at);
    CHECK_EQ(true, IsWindowEnabled(Dialog) != 0, at); // no owner: the main dialog stays usable
    Press(about, {VK_TAB}, at);                       // its one tab stop keeps the focus
    CHECK_SOON(IDC_ABOUT_OK, Focus(about), at);
    RECT icon{};
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_ICON), &icon);
    CHECK_SOON(IconTxt(32), Letters(icon, 32), at);
    return about;
}

// A whole run from the click on Start to its result box: its waits after stage 1, the writes,
// stages 2 to 9 and the hang-up, no sooner, and late by one allowance in all once the program's own
// work is left out (./test: 60 to 500 ms late; beside two or four busy processes, up to 1.3 s).
void CheckRunLength(long long clicked, const Where& at = Where::current()) {
    long long box = Last(Boxes), work = WorkMs(clicked, box);
    printf("  result box %lld ms after the click, %lld ms of them its work\n", box - clicked, work);
    CheckWait(clicked, 1000 + 1000 + 8 * 1000 + 3000, box - work, at, 1500);
}

// The ten stages of a run whose call gets this handle: a second apart but two from stage 1 to 2,
// the dial two seconds after stage 1. The moment of the click on Start.
long long RunStages(const std::string& handle, const Where& at = Where::current()) {
    long long clicked = Click(Item(IDC_START), at);
    long long when[11] = {};
    for (int stage = 1; stage <= 10; ++stage) {
        CHECK_SOON(L"Оптимизация " + std::to_wstring(10 * stage) + L"%", Text(Item(IDC_STATUS)),
                   at);
        when[stage] = Last(Stages);
        CHECK_SOON("level with the status", Bar(true), at);
        CHECK_EQ(false, IsWindowEnabled(Item(IDC_GROUP)) != 0, at);
        if (stage > 1)
            CheckWait(when[stage - 1], stage == 2 ? 2000 : 1000, when[stage], at);
        printf("  stage %d at %lld ms\n", stage, when[stage] - when[1]);
        if (stage == 5)
            Snapshot("running", at);
    }
    CheckWait(when[1], 2000, ModemMs("dial " + handle), at); // a second after check and write
    return clicked;
}

// The main dialog, centred, with its close and minimize boxes: its texts, the notice's 610
// bytes, which scroll up and down only and take no typing; keys that do nothing.
void CheckMainDialog(const Where& at = Where::current()) {
    std::wstring texts = Text(Dialog) + L"|" + Text(Item(IDC_START)) + L"|" +
                         Text(Item(IDC_CLOSE)) + L"|" + Text(Item(IDC_ABOUT));
    CHECK_EQ(L"Программа сетевой оптимизации|Начать оптимизацию|Закрыть|О программе", texts, at);
    CHECK_EQ("centred, minimize, maximize (unavailable), close", Frame(Dialog), at);
    Ask(Item(IDC_INFO), WM_CHAR, 'x');
    wchar_t text[2048];
    std::wstring info(text, Ask(Item(IDC_INFO), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text)));
    info = info.substr(0, 29) + L"|" +
           info.substr(info.size() - std::min<size_t>(info.size(), 14)) + L"|" +
           std::to_wstring(info.size());
    CHECK_EQ(L"ВНИМАНИЕ!!! ПЕРЕД ЗАПУСКОМ \r\n|об этом.\r\n\r\n\r\n|610", info, at);
    CHECK_EQ(WS_VSCROLL, GetWindowLongW(Item(IDC_INFO), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), at);
    CHECK_EQ("", Cut(Dialog, MainFont), at);
    CHECK_SOON(Idle, Look(), at);
    Press(Dialog, {VK_ESCAPE}, at); // IDCANCEL and IDOK do nothing
    Press(Dialog, {VK_RETURN}, at);
    // Tab from Start round the tab stops in their order, Shift+Tab back; the notice, so reached,
    // scrolls by the keyboard.
    const int stops[] = {IDC_START, IDC_CLOSE, IDC_ABOUT, IDC_INFO};
    for (int press = 1; press <= 8; ++press) {
        press <= 4 ? Press(Dialog, {VK_TAB}, at) : Press(Dialog, {VK_SHIFT, VK_TAB}, at);
        CHECK_SOON(stops[(press <= 4 ? press : 8 - press) % 4], Focus(Dialog), at);
        if (press == 3) {
            Press(Dialog, {VK_CONTROL, VK_END}, at);
            CHECK_SOON(true, Ask(Item(IDC_INFO), EM_GETFIRSTVISIBLELINE) > 0, at); // scrolled
            Press(Dialog, {VK_CONTROL, VK_HOME}, at); // back to the top for the pictures
        }
    }
}

} // namespace
