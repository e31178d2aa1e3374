// What Wine cannot show: a late notification of one call while the next is
// started. The handle must pass between the threads without a data race.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <thread>

#include "../../optimize/test_dial.h"
#include "../../platform/alerts.h"
#include "../../platform/process.h"

// The dial-up service stores the handle as one aligned machine word.
void StartRasDial(const DialParams*, DialNotifier, HRASCONN* handle) {
    __atomic_store_n(handle, reinterpret_cast<HRASCONN>(0x7100), __ATOMIC_RELAXED);
}

void HangUpRasConnection(HRASCONN) {}
void PlayTone(unsigned, unsigned) {}
void ShowErrorBox(HWND, const char*, const char*) {}
void WaitMilliseconds(unsigned) {}
void EndProcess(unsigned) {
    abort(); // only errors other than 631 end the process
}

TEST(TestDial, LateNotificationsRaceTheNextDials) {
#ifndef __SANITIZE_THREAD__
    FAIL() << "built without ThreadSanitizer, which alone sees the race";
#endif
    std::thread late([] {
        for (int i = 0; i < 100; ++i)
            DialNotify(0xCCCD, 0, 631);
    });
    for (int i = 0; i < 100; ++i)
        StartTestDial();
    late.join();
}
