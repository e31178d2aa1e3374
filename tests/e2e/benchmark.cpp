// The benchmark: one table of the program's size, start-up time, CPU time,
// memory and run length, measured under Wine. Figures, not a test.
#include "driver.h"

#include <psapi.h>
#include <stdio.h>

#include <algorithm>

#include "../../resources/resource.h"

namespace {

const int Starts = 7;
const double ScheduleSeconds = 13.0;

double NowSeconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Seconds from the creation of the process to its dialog being visible.
double StartUp(const std::wstring& exe, const std::wstring& caption) {
    Program program;
    double started = NowSeconds();
    if (!Start(&program, exe, caption))
        return -1;
    double shown = NowSeconds() - started;
    PressCloseBox(program.dialog);
    WaitForExit(&program, 5000);
    Kill(&program);
    return shown;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

struct RunFigures {
    double length = -1, cpu = -1, peakMiB = -1;
};

// One whole run: start, click, the result box, close.
RunFigures MeasureRun() {
    RunFigures figures;
    SetAdapterValue("IPMTU", REG_SZ, std::string("1500", 5));
    Program p;
    if (!Launch(&p, L""))
        return figures;
    double clicked = NowSeconds();
    Click(p.dialog, IDC_START);
    HWND box = WaitForWindow(p, L"Результат оптимизации", 20000);
    figures.length = NowSeconds() - clicked;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(p.process.hProcess, &memory, sizeof memory))
        figures.peakMiB = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    CloseBox(box);
    Pause(300);
    Click(p.dialog, IDC_CLOSE);
    WaitForExit(&p, 5000);
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(p.process.hProcess, &created, &exited, &kernel, &user))
        figures.cpu = Seconds(kernel) + Seconds(user);
    Kill(&p);
    return figures;
}

} // namespace

void Benchmark() {
    std::wstring folder = BuildFolder();
    std::vector<double> program, bare;
    for (int i = 0; i < Starts; ++i) {
        program.push_back(StartUp(L"netopt.exe", L"Программа сетевой оптимизации"));
        bare.push_back(StartUp(L"bare_dialog.exe", L"Bare dialog"));
    }
    double programStart = Median(program), bareStart = Median(bare);
    RunFigures run = MeasureRun();

    printf("| measure | netopt |\n|---|---|\n");
    printf("| size of build/win32/netopt.exe (the release) | %lld bytes |\n",
           FileSize(folder + L"..\\win32\\netopt.exe"));
    printf("| size of build/win64/netopt.exe | %lld bytes |\n", FileSize(folder + L"netopt.exe"));
    printf("| process creation to main dialog visible (median of %d) | %.0f ms, %.2f x a bare "
           "dialog exe (%.0f ms) |\n",
           Starts, programStart * 1000, programStart / bareStart, bareStart * 1000);
    printf("| CPU time of the process over one whole run | %.0f ms |\n", run.cpu * 1000);
    printf("| peak working set | %.1f MiB |\n", run.peakMiB);
    printf("| run from the click to the result box | %.2f s (schedule %.1f s, %+.2f s) |\n",
           run.length, ScheduleSeconds, run.length - ScheduleSeconds);
    fflush(stdout);
}
