// The end-to-end driver's entry: runs one scenario by name.
// Usage: e2e_driver <scenario>; exit code 0 when every check passed.
#include <stdio.h>
#include <string.h>

#include "expect.h"

namespace {

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
    {"windows98", Windows98},
    {"about_dialog", AboutDialog},
    {"demo", Demo},
    {"benchmark", Benchmark},
};

} // namespace

int main(int argc, char** argv) {
    for (const auto& scenario : Scenarios) {
        if (argc < 2 || strcmp(argv[1], scenario.name) != 0)
            continue;
        PretendWindows98(false); // whatever a scenario that died left behind
        scenario.run();
        PretendWindows98(false);
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
