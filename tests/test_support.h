// What the unit tests share: a fixture that resets every fake and the
// program's globals, and the machine that a run expects to find.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../app/main_dialog.h"
#include "../resources/resource.h"
#include "../optimize/test_dial.h"
#include "fakes.h"

const std::string AdapterKey = "System\\CurrentControlSet\\Services\\Class\\Net\\0000";
const std::string ParameterKey = AdapterKey + "\\Ndi\\params\\IPMTU";

class NetoptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakes();
        NoDialTone.store(false);
        DialHandle.store(nullptr);
        MainDialogHandle = FakeDialogWindow();
    }
    void TearDown() override {
        EXPECT_EQ(MisaddressedControlCalls(), 0) << "a call on another window than the main dialog";
        ResetFakes();
    }

    // A Windows 98 machine as it comes: the adapter's MTU is "1500".
    void GiveMachineAnMtu() { SetRegistryValue(AdapterKey, "IPMTU", FakeRegSz, "1500"); }
};

// The log from the first entry equal to first on (empty when it is missing).
inline std::vector<std::string> LogFrom(const std::string& first) {
    std::vector<std::string> log = CallLog();
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i] == first)
            return std::vector<std::string>(log.begin() + static_cast<long>(i), log.end());
    return {};
}

// The calls of the MTU writes when both go through, adapter key first.
inline std::vector<std::string> MtuWriteCalls() {
    return {
        "RegCreateKey " + AdapterKey,
        "RegSetValue " + AdapterKey + " IPMTU REG_SZ 4",
        "RegCloseKey " + AdapterKey,
        "RegCreateKey " + ParameterKey,
        "RegSetValue " + ParameterKey + " (default) REG_SZ 4",
        "RegCloseKey " + ParameterKey,
    };
}

inline std::string Handle(HRASCONN handle) {
    return std::to_string(reinterpret_cast<uintptr_t>(handle));
}
