// End-to-end scenarios of the About dialog, and of the texts under a
// Western code page and on Windows 98.
#include "expect.h"

#include "../../resources/resource.h"

namespace {

// The texts of the main dialog, the About dialog, the status and the error
// box of a run that fails at its check, then the close box.
void CheckTextsThroughFailedRun() {
    ClearAdapter();
    Program p;
    if (!Launch(&p, L""))
        return;
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

} // namespace

// Run under a Western code page: the texts must still read as Russian, but
// on Windows 98, whose wide calls are stubs, the program keeps to the ANSI
// ones, which cannot show Russian there.
void EnglishLocale() {
    CHECK(GetACP() != 1251);
    CheckTextsThroughFailedRun();
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
    // Code page 1252 has no Cyrillic: each letter comes out as "?".
    PretendWindows98(true);
    Program old;
    if (Start(&old, L"netopt.exe", L"????????? ??????? ???????????")) {
        PressCloseBox(old.dialog);
        CheckEndsWithCodeZero(&old, "the close box");
        Kill(&old);
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

// As a Russian Windows 98 shows it: the ANSI calls with code page 1251.
void Windows98() {
    CHECK(GetACP() == 1251);
    PretendWindows98(true);
    CheckTextsThroughFailedRun();
}
