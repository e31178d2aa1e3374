// The ordered call log shared by all fakes.
#include "fake_state.h"
#include "fakes.h"

namespace {

std::vector<std::string> Log;

} // namespace

std::mutex& FakeLock() {
    static std::mutex lock;
    return lock;
}

void ResetFakes() {
    ResetDialupFake(); // joins its threads before the rest is cleared
    ResetDialogFake();
    ResetClockFake();
    ResetRegistryFake();
    std::lock_guard<std::mutex> hold(FakeLock());
    Log.clear();
}

void LogCall(const std::string& entry) {
    std::lock_guard<std::mutex> hold(FakeLock());
    Log.push_back(entry);
}

std::vector<std::string> CallLog() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Log;
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& entry : CallLog())
        if (entry.compare(0, prefix.size(), prefix) == 0)
            found.push_back(entry);
    return found;
}
