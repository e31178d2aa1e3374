// The screen's pixels: whether a window is painted, pictures of it, and the icons' images.
#pragma once

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "screen.h"

namespace {

const HDC Screen = GetDC(nullptr); // for the driver's life

// The dialogs' ground, 0x00rrggbb as a picture's pixels hold it.
const COLORREF Face = GetSysColor(COLOR_BTNFACE);
const DWORD Ground = RGB(GetBValue(Face), GetGValue(Face), GetRValue(Face));

// The screen's pixels inside the rectangle, 0x00rrggbb, a row after another from the top.
std::vector<DWORD> Grab(const RECT& rect) {
    LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    DWORD* bits = nullptr;
    HDC memory = CreateCompatibleDC(Screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, Screen, rect.left, rect.top, SRCCOPY);
    std::vector<DWORD> pixels(bits, bits + width * height);
    // The byte above the colours is left undefined: Wine 8 leaves it 0, Wine 10 sets it to 0xff.
    for (DWORD& pixel : pixels)
        pixel &= 0xffffff;
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

// Whether the window shows a pixel of the dialogs' ground, or else one of any other colour.
bool Shows(HWND window, bool ground) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return std::ranges::any_of(Grab(rect),
                               [&](DWORD pixel) { return (pixel == Ground) == ground; });
}

// Saves <name>.ppm, a picture of the screen once each of the program's windows shows its ground
// and each visible control a pixel of another colour (a border will do).
void Snapshot(const std::string& name, const Where& at = Where::current()) {
    auto painted = [] {
        bool shown = true;
        for (HWND window : Windows()) {
            shown = shown && Shows(window, true);
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                shown = shown && (!IsWindowVisible(child) || Shows(child, false));
        }
        return shown;
    };
    if (!WaitUntil(painted, 30000)) {
        Fail(at, "the windows of the picture " + name + " were not all painted within 30 s");
        return;
    }
    RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::ofstream out(name + ".ppm", std::ios::binary);
    out << "P6 " << all.right - all.left << " " << all.bottom - all.top << " 255\n";
    for (DWORD pixel : Grab(all))
        out.put(static_cast<char>(pixel >> 16))
            .put(static_cast<char>(pixel >> 8))
            .put(static_cast<char>(pixel));
}

// The image of that size in resources/icon.txt (NETOPT_ICON), a line a row.
std::string IconTxt(int size) {
    std::ifstream file(_wgetenv(L"NETOPT_ICON"));
    std::string text{std::istreambuf_iterator<char>(file), {}};
    std::smatch image;
    std::regex_search(text, image,
                      std::regex("size " + Str(size) + "\n((.*\n){" + Str(size) + "})"));
    return image[1];
}

// The screen's middle square of that size in the rectangle in icon.txt's letters for Windows'
// default palette (16 colours and four more), "." for the ground, where the icon is transparent.
std::string Letters(const RECT& rect, int size) {
    PALETTEENTRY palette[20];
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, palette);
    std::vector<DWORD> pixels = Grab(rect);
    LONG width = rect.right - rect.left, left = (width - size) / 2,
         top = (rect.bottom - rect.top - size) / 2;
    if (left < 0 || top < 0) // no such control, or a smaller one
        return "no square of " + Str(size) + " pixels";
    std::string rows;
    for (LONG y = top; y < top + size; ++y) {
        for (LONG x = left; x < left + size; ++x) {
            char letter = pixels[y * width + x] == Ground ? '.' : '?';
            for (int i = 0; i < 20; ++i)
                if (RGB(palette[i].peBlue, palette[i].peGreen, palette[i].peRed) ==
                    pixels[y * width + x])
                    letter = "Krgonpts????GRLYBMAW"[i];
            rows += letter;
        }
        rows += "\n";
    }
    return rows;
}

} // namespace
