// The user of the release under Wine: reads its windows, the screen, the registry, the modem's log
// and Wine's trace of the program's calls; clicks and types through the input queue. The scenarios
// and main; the headers hold the layers they stand on, one program with this file.
#include <process.h>

#include "program.h"

namespace {

// A run for each error the modem gives its call (NETOPT_MODEM_ERRORS), later ones while the
// notifier's boxes are open: its stages, any box of the notifier's, the result box (the error box
// after a 680, whatever its own call gives), the hang-up, its length, the MTU, the idle look.
std::vector<HWND> Runs() {
    std::vector<HWND> open;
    size_t boxes = 0, run = 0;
    bool noDialTone = false;
    for (const wchar_t* error = _wgetenv(L"NETOPT_MODEM_ERRORS"); error;
         error = wcschr(error, L',') ? wcschr(error, L',') + 1 : nullptr) {
        std::string handle = Str(0x7100 + ++run);
        long long clicked = RunStages(handle);
        long code = wcstol(error, nullptr, 10);
        noDialTone = noDialTone || code == 680;
        if (code && code != 631)
            open.push_back(CheckBox(++boxes, Tone, code == 680 ? NoSignal : NoConnection, open));
        HWND box = CheckBox(++boxes, DefaultSound, noDialTone ? Failed : Done, open);
        long long hangUp = ModemMs("hangup " + handle + " program");
        CheckWait(Last(Stages), 0, hangUp);
        CheckWait(hangUp, 3000, Last(MessageBeeps));
        CheckRunLength(clicked);
        CHECK_SOON("level with the status", Bar());
        CHECK_EQ(Mtu, Value(AdapterKey, "IPMTU"));
        CHECK_EQ(Mtu, Value(ParameterKey, nullptr));
        Snapshot("result");
        // A notifier's box, under the result box, keeps the keyboard.
        open.empty() ? Press(box, {VK_RETURN}) : (void)Click(GetDlgItem(box, IDOK));
        CHECK_SOON(Idle, Look());
    }
    return open;
}

// Under code page 1252, the wide calls: About's close box; two runs on the MTU of "1500", the
// second call ended with 631; the small icon; Alt+F4. Its pictures: about, running and result.ppm.
void Success() {
    CheckMainDialog();
    HWND about = OpenAbout();
    Snapshot("about");
    ClickCloseBox(about);
    Runs();
    // Call 2 hung up by the notifier on the modem's 631, then by the run.
    CHECK_EQ("dial 28929" + Dialled + "|notify 0|hangup 28929 program|dial 28930" + Dialled +
                 "|notify 631|hangup 28930 notifier|hangup 28930 program|",
             ModemCalls());
    CHECK_EQ(4, Calls(MtuWrites).size()); // each value once a run
    // The exe's small icon as Windows draws it on the ground, after the pictures, in a corner.
    RECT corner{0, 0, 16, 16};
    FillRect(Screen, &corner, GetSysColorBrush(COLOR_BTNFACE));
    auto icon =
        static_cast<HICON>(LoadImageW(Exe, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
    DrawIconEx(Screen, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    CHECK_EQ(IconTxt(16), Letters(corner, 16));
    Press(Dialog, {VK_MENU, VK_F4});
}

// Runs with a dial error, and the end once the top one of the notifier's boxes is closed.
void DialErrors() {
    Click(GetDlgItem(Runs().back(), IDOK));
}

// As Windows 98, through the ANSI calls: runs that fail, started while About is open; more About
// dialogs over it, closed with Escape and Enter; Close while About is open.
void CheckFailsAndAbout() {
    CheckMainDialog();
    HWND about = OpenAbout();
    // Each state: the adapter key made anew with one value (none: no key), whether the parameter
    // key is kept from being made, and what IPMTU reads after the run.
    struct RegistryState {
        const char* value;
        size_t size;
        bool parameterKeyBlocked;
        std::string mtuAfter;
    };
    const RegistryState states[] = {
        {nullptr, 0, false, "no key"}, // which the check must not make
        {"Other", 4, false, "no value"},
        {"IPMTU", 256, false,
         "REG_BINARY \"" + std::string(256, 'x') + "\", 256 bytes"}, // too long to read
        {"IPMTU", 4, true, Mtu}, // written before the parameter key fails
    };
    for (size_t row = 1; row <= std::size(states); ++row) {
        const RegistryState& state = states[row - 1];
        Row = "registry state " + Str(row);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, AdapterKey.c_str());
        std::string data(state.size, 'x');
        if (state.value)
            CHECK_EQ(ERROR_SUCCESS,
                     RegSetKeyValueA(HKEY_LOCAL_MACHINE, AdapterKey.c_str(), state.value,
                                     REG_BINARY, data.data(), data.size()));
        HKEY ndi; // volatile, it can have no lasting subkey: the parameter key cannot be made
        if (state.parameterKeyBlocked)
            CHECK_EQ(ERROR_SUCCESS,
                     RegCreateKeyExA(HKEY_LOCAL_MACHINE, NdiKey.c_str(), 0, nullptr,
                                     REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &ndi, nullptr));
        Click(Item(IDC_START)); // a run whose check or write fails, the box a second after stage 1
        HWND box = CheckBox(row, DefaultSound, Failed);
        CHECK_SOON("level with the status", Bar()); // each run from 0, at «Оптимизация 10%»
        CheckWait(Last(Stages), 1000, Last(MessageBeeps));
        Press(box, {VK_RETURN});
        CHECK_SOON(Idle, Look());
        CHECK_EQ(state.mtuAfter, Value(AdapterKey, "IPMTU"));
    }
    Row.clear();
    CHECK_EQ("", ModemCalls()); // no run placed a call
    Press(OpenAbout(about), {VK_ESCAPE});
    CHECK_SOON(1, Windows(About).size());
    Press(OpenAbout(about), {VK_RETURN});
    CHECK_SOON(1, Windows(About).size());
    Click(Item(IDC_CLOSE)); // its loop ends once the About loop within it has
    Click(GetDlgItem(about, IDC_ABOUT_OK));
}

// As Windows 98 under code page 1252, where the templates' texts are wrong: a run, which makes
// every kind of text call (their forms checked in main); the close box.
void Win98Western() {
    Click(Item(IDC_START));
    // A click on OK: after Enter on the box, Wine took no clicks at all, the close box's neither.
    Click(GetDlgItem(WaitWindow(L"", {Dialog}), IDOK));
    ClickCloseBox(Dialog);
}

} // namespace

int main(int argc, char** argv) {
    struct Scenario {
        const char* name;
        const wchar_t* modemErrors; // for each dial, as the simulated modem takes them
        void (*steps)();
        std::string form; // of the text calls, "A" or "W", as the system that run-scenario sets
        size_t alerts;    // the sounds and boxes made in all
    };
    const Scenario scenarios[] = {
        {"success", L"0,631", Success, "W", 4},
        {"dial_680", L"680", DialErrors, "A", 4},
        {"dial_678", L"678", DialErrors, "A", 4},
        {"dial_692", L"680,692", DialErrors, "W", 8},
        {"check_and_about", L"", CheckFailsAndAbout, "A", 8}, // Windows 98, 1251
        {"win98_cp1252", L"", Win98Western, "A", 2},          // Windows 98, 1252
    };
    for (const Scenario& scenario : scenarios) {
        if (argc != 2 || argv[1] != std::string(scenario.name))
            continue;
        _wputenv_s(L"NETOPT_MODEM_ERRORS", scenario.modemErrors); // for the program and the driver
        ParkPointer();
        Program = reinterpret_cast<HANDLE>(
            _wspawnl(_P_NOWAIT, _wgetenv(L"NETOPT_EXE"), L"netopt.exe", nullptr));
        DWORD exitCode = STILL_ACTIVE;
        if (Program != INVALID_HANDLE_VALUE && (Dialog = WaitWindow(L""))) {
            scenario.steps();
            WaitForSingleObject(Program, 10000); // which the scenario has closed
            GetExitCodeProcess(Program, &exitCode);
        }
        CHECK_EQ(0, exitCode);      // STILL_ACTIVE if it never started
        std::string placed, hungUp; // each call the program placed, and those it then hung up
        for (const auto& dial : Matches(L"modem.log", "^(\\d+) dial (\\d+)")) {
            placed += dial[2] + " ";
            hungUp +=
                ModemMs("hangup " + dial[2] + " program") >= stoll(dial[1]) ? dial[2] + " " : "";
        }
        CHECK_EQ(placed, hungUp);
        // The calls that hand over the program's texts, each function in the forms it took, in
        // the order of their first calls: dialogs, the notice, the stages' WM_SETTEXT, boxes.
        std::string forms;
        for (const auto& call : Calls("user32\\.((?:DialogBoxParam|SetDlgItemText|MessageBox)[AW]|"
                                      "SendDlgItemMessage[AW](?=\\(\\w+,\\w+,0000000c,))\\("))
            if (forms.find(call[2] + " ") == std::string::npos)
                forms += call[2] + " ";
        CHECK_EQ("DialogBoxParam" + scenario.form + " SetDlgItemText" + scenario.form +
                     " SendDlgItemMessage" + scenario.form + " MessageBox" + scenario.form + " ",
                 forms);
        CHECK_EQ(scenario.alerts, Alerts().size());
        printf("%s %s: %d failed checks\n", Failures ? "FAIL" : "PASS", scenario.name, Failures);
        return Failures != 0;
    }
    printf("usage: e2e-driver <scenario>, a name of the table in main\n");
    return 2;
}
