// What the end-to-end scenarios expect to see, and the checks they share.
#include "expect.h"

#include <stdlib.h>

#include "../../resources/resource.h"

const wchar_t MainCaption[] = L"Программа сетевой оптимизации";
const wchar_t ErrorCaption[] = L"Ошибка";
const wchar_t ResultCaption[] = L"Результат оптимизации";
const wchar_t FailureText[] = L"Ошибка. Оптимизация не возможна.";
const wchar_t SuccessText[] = L"Оптимизация выполнена.";
const wchar_t NoDialToneText[] = L"Нет сигнала в линии.";
const wchar_t ConnectionErrorText[] = L"Ошибка соединения.";

const wchar_t AboutCaption[] = L"О программе";

namespace {

const wchar_t* const AboutTexts[] = {
    L"Программа сетевой", L"оптимизации V 1.2",          L"Команда netopt",
    L"www.example.org",   L"E-mail: netopt@example.org",
};

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

} // namespace

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

namespace {

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

} // namespace

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
