// A clock that records the waits and moves virtual time instead of sleeping.
#include "../../platform/process.h"
#include "fake_state.h"
#include "fakes.h"

namespace {

unsigned Now = 0;
std::vector<unsigned> Waits;

} // namespace

void ResetClockFake() {
    std::lock_guard<std::mutex> hold(FakeLock());
    Now = 0;
    Waits.clear();
}

void WaitMilliseconds(unsigned milliseconds) {
    LogCall("Wait " + std::to_string(milliseconds));
    unsigned now;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        Waits.push_back(milliseconds);
        Now += milliseconds;
        now = Now;
    }
    DeliverDueNotifications(now);
}

unsigned VirtualTimeMs() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Now;
}

std::vector<unsigned> WaitsRecorded() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Waits;
}
