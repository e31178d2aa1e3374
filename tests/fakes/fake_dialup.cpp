// A dial-up service that stores a handle, returns at once and calls the
// notifier from threads of its own at moments chosen on the virtual clock.
#include <algorithm>
#include <thread>

#include "../../platform/dialup.h"
#include "fake_state.h"
#include "fakes.h"

namespace {

// The message that the service passes to a RasDialFunc notifier.
const unsigned RasDialEvent = 0xCCCD;
const uintptr_t FirstHandle = 0x5000;

struct Notification {
    int afterMs;
    std::vector<uint32_t> errors; // delivered at once, one thread each
    unsigned dueAt = 0;
};

std::vector<Notification> Scheduled; // for the next dial
std::vector<Notification> Armed;     // for the dial under way
DialNotifier Notifier = nullptr;
bool StoresHandle = true;
std::vector<DialParams> Dials;
std::vector<HRASCONN> Handles;
std::vector<HRASCONN> HungUp;

void Deliver(DialNotifier notifier, const Notification& notification) {
    std::vector<std::thread> threads;
    for (uint32_t error : notification.errors)
        threads.emplace_back(notifier, RasDialEvent, 0, error);
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace

void ResetDialupFake() {
    std::lock_guard<std::mutex> hold(FakeLock());
    Scheduled.clear();
    Armed.clear();
    Notifier = nullptr;
    StoresHandle = true;
    Dials.clear();
    Handles.clear();
    HungUp.clear();
}

void ScheduleNotification(int afterMs, uint32_t error) {
    ScheduleConcurrentNotifications(afterMs, {error});
}

void ScheduleConcurrentNotifications(int afterMs, const std::vector<uint32_t>& errors) {
    std::lock_guard<std::mutex> hold(FakeLock());
    Scheduled.push_back(Notification{afterMs, errors});
}

void SetDialStoresHandle(bool stores) {
    std::lock_guard<std::mutex> hold(FakeLock());
    StoresHandle = stores;
}

std::vector<DialParams> DialsPlaced() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Dials;
}

HRASCONN DialHandleGiven(size_t dial) {
    std::lock_guard<std::mutex> hold(FakeLock());
    return Handles.at(dial);
}

std::vector<HRASCONN> HangUps() {
    std::lock_guard<std::mutex> hold(FakeLock());
    return HungUp;
}

void StartRasDial(const DialParams* params, DialNotifier notifier, HRASCONN* handle) {
    LogCall("RasDial");
    unsigned now = VirtualTimeMs();
    std::vector<Notification> beforeReturn;
    HRASCONN given = nullptr;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        Dials.push_back(*params);
        if (StoresHandle)
            given = reinterpret_cast<HRASCONN>(FirstHandle + Dials.size());
        Handles.push_back(given);
        Notifier = notifier;
        for (Notification& notification : Scheduled) {
            notification.dueAt = now + static_cast<unsigned>(notification.afterMs);
            if (notification.afterMs == BeforeDialReturns)
                beforeReturn.push_back(notification);
            else
                Armed.push_back(notification);
        }
        Scheduled.clear();
    }
    // The service stores the handle as one aligned machine word.
    if (given != nullptr)
        __atomic_store_n(handle, given, __ATOMIC_RELEASE);
    for (const Notification& notification : beforeReturn)
        Deliver(notifier, notification);
}

void HangUpRasConnection(HRASCONN handle) {
    LogCall("RasHangUp " + std::to_string(reinterpret_cast<uintptr_t>(handle)));
    std::lock_guard<std::mutex> hold(FakeLock());
    HungUp.push_back(handle);
}

void DeliverDueNotifications(unsigned now) {
    std::vector<Notification> due;
    DialNotifier notifier;
    {
        std::lock_guard<std::mutex> hold(FakeLock());
        notifier = Notifier;
        auto notDue = [now](const Notification& n) { return n.dueAt > now; };
        auto split = std::stable_partition(Armed.begin(), Armed.end(), notDue);
        due.assign(split, Armed.end());
        Armed.erase(split, Armed.end());
    }
    for (const Notification& notification : due)
        Deliver(notifier, notification);
}
