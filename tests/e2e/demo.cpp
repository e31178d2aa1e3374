// The demo behind ./run without a display: a whole run as a user makes it,
// saving pictures of the screen as it goes: a line "SNAPSHOT <file>" names
// each, for ./run to convert.
#include <stdio.h>

#include "../../resources/resource.h"
#include "driver.h"

namespace {

const int PaintPauseMs = 600;
const size_t PhoneOffset = 261;
const size_t PhoneSize = 129;

void PrintValue(const char* label, const wchar_t* key, const char* name) {
    DWORD type = 0;
    std::string data;
    if (!ReadValue(key, name, &type, &data)) {
        printf("  %-34s (missing)\n", label);
        return;
    }
    if (!data.empty() && data.back() == 0)
        data.pop_back();
    printf("  %-34s \"%s\" (%s)\n", label, data.c_str(), type == REG_SZ ? "REG_SZ" : "other type");
}

void PrintRegistry(const char* when) {
    printf("Registry %s the run (HKLM\\System\\CurrentControlSet\\Services\\Class\\Net\\0000):\n",
           when);
    PrintValue("IPMTU", AdapterKey, "IPMTU");
    PrintValue("Ndi\\params\\IPMTU (default value)", ParameterKey, nullptr);
}

// Saves a rectangle of the screen, as Wine drew it, as a 24-bit BMP file.
void SaveScreen(const std::string& path, const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files keep it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (width * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    FILE* out = fopen(path.c_str(), "wb");
    if (out != nullptr) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, stride, height, out);
        fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Pictures the windows named, with a margin, into <name>.bmp in the
// current folder, after a moment for a window just shown to be painted.
void Snapshot(const char* name, const std::vector<HWND>& windows) {
    const int margin = 6;
    Pause(PaintPauseMs);
    RECT all = {0, 0, 0, 0};
    for (HWND window : windows) {
        RECT rect;
        if (window != nullptr && GetWindowRect(window, &rect))
            UnionRect(&all, &all, &rect);
    }
    InflateRect(&all, margin, margin);
    std::string path = std::string(name) + ".bmp";
    SaveScreen(path, all);
    printf("SNAPSHOT %s\n", path.c_str());
    fflush(stdout);
}

std::string PhoneNumberDialled(const std::string& hex) {
    std::string number;
    for (size_t i = PhoneOffset; i < PhoneOffset + PhoneSize && 2 * i + 1 < hex.size(); ++i) {
        char byte = static_cast<char>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        if (byte == 0)
            break;
        number += byte;
    }
    return number;
}

void PrintModem(long long clicked) {
    printf("The simulated modem:\n");
    for (const ModemEvent& event : ModemLog()) {
        double at = (event.atMs - clicked) / 1000.0;
        if (event.kind == "RasDialA")
            printf("  %5.1f s  dial %s (record of %s bytes), handle %s\n", at,
                   PhoneNumberDialled(event.Field("params")).c_str(), event.Field("size").c_str(),
                   event.Field("handle").c_str());
        else if (event.kind == "RasHangUpA")
            printf("  %5.1f s  hung up handle %s by the %s\n", at, event.Field("handle").c_str(),
                   event.Field("from").c_str());
        else
            printf("  %5.1f s  notified the program: state %s, error %s\n", at,
                   event.Field("state").c_str(), event.Field("error").c_str());
    }
}

} // namespace

void Demo() {
    ClearAdapter();
    SetAdapterValue("IPMTU", REG_SZ, std::string("1500", 5));
    PrintRegistry("before");
    Program p;
    if (!Launch(&p, L""))
        return;
    Snapshot("idle", {p.dialog});

    Click(p.dialog, IDC_ABOUT);
    HWND about = WaitForWindow(p, L"О программе", 5000);
    if (about != nullptr) {
        Snapshot("about", {about});
        Click(about, IDC_ABOUT_OK);
        Pause(300);
    }

    long long clicked = NowMs();
    Click(p.dialog, IDC_START);
    printf("Clicked \"%s\"; the stages:\n", Utf8(L"Начать оптимизацию").c_str());
    HWND status = Item(p.dialog, IDC_STATUS);
    std::wstring shown;
    HWND box = nullptr;
    while (box == nullptr && NowMs() < clicked + 20000) {
        std::wstring text = TextOf(status);
        if (text != shown && IsWindowVisible(status)) {
            shown = text;
            printf("  %5.1f s  %s\n", (NowMs() - clicked) / 1000.0, Utf8(text).c_str());
            fflush(stdout);
            if (text == L"Оптимизация 50%")
                Snapshot("running", {p.dialog});
        }
        box = WaitForWindow(p, L"Результат оптимизации", 20);
    }
    if (box == nullptr)
        box = WaitForWindow(p, L"Ошибка", 1000);
    if (box == nullptr) {
        Fail(__FILE__, __LINE__, "no result box");
        Kill(&p);
        return;
    }
    Box seen = ReadBox(box);
    printf("  %5.1f s  box \"%s\": %s\n", (NowMs() - clicked) / 1000.0, Utf8(seen.caption).c_str(),
           Utf8(seen.text).c_str());
    Snapshot("result", {p.dialog, box});
    CloseBox(box);
    PrintModem(clicked);
    Pause(300);
    Click(p.dialog, IDC_CLOSE);
    printf("Clicked \"%s\": exit code %ld\n", Utf8(L"Закрыть").c_str(), WaitForExit(&p, 5000));
    PrintRegistry("after");
    Kill(&p);
}
