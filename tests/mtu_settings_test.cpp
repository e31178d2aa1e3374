// The registry check and the writes of the MTU.
#include "../optimize/mtu_settings.h"
#include "test_support.h"

namespace {

using MtuCheckTest = NetoptTest;
using MtuWriteTest = NetoptTest;

TEST_F(MtuCheckTest, ReadsTheValueWith255BytesOfferedAndClosesTheKey) {
    GiveMachineAnMtu();
    EXPECT_TRUE(CheckMtuValue());
    EXPECT_EQ(CallLog(), (std::vector<std::string>{
                             "RegOpenKey " + AdapterKey,
                             "RegQueryValue " + AdapterKey + " IPMTU offered 255",
                             "RegCloseKey " + AdapterKey,
                         }));
}

TEST_F(MtuCheckTest, AValueOfAnyTypeAndUpTo255BytesCounts) {
    struct Case {
        uint32_t type;
        std::string data;
    } cases[] = {
        {FakeRegSz, "576"},
        {FakeRegDword, std::string("\x40\x02\0\0", 4)},
        {FakeRegBinary, ""},
        {FakeRegSz, std::string(255, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + ", " + std::to_string(c.data.size()) +
                     " bytes");
        ResetFakes();
        SetRegistryValue(AdapterKey, "IPMTU", c.type, c.data);
        EXPECT_TRUE(CheckMtuValue());
        EXPECT_EQ(OpenRegistryKeys(), 0);
    }
}

TEST_F(MtuCheckTest, AMissingOrUnreadableValueFailsTheCheck) {
    struct Case {
        const char* what;
        void (*arrange)();
        bool keyClosed;
    } cases[] = {
        {"no adapter key", [] {}, false},
        {"key without the value", [] { AddRegistryKey(AdapterKey); }, true},
        {"value of 256 bytes",
         [] { SetRegistryValue(AdapterKey, "IPMTU", FakeRegSz, std::string(256, 'x')); }, true},
        {"key that cannot be opened with full access",
         [] {
             SetRegistryValue(AdapterKey, "IPMTU", FakeRegSz, "1500");
             FailRegistryCall(RegistryCall::Open, AdapterKey);
         },
         false},
        {"read that fails",
         [] {
             SetRegistryValue(AdapterKey, "IPMTU", FakeRegSz, "1500");
             FailRegistryCall(RegistryCall::Read, AdapterKey);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetFakes();
        c.arrange();
        EXPECT_FALSE(CheckMtuValue());
        EXPECT_EQ(CallsStartingWith("RegCloseKey").size(), c.keyClosed ? 1u : 0u);
        EXPECT_EQ(OpenRegistryKeys(), 0);
        EXPECT_TRUE(CallsStartingWith("RegCreateKey").empty());
        EXPECT_TRUE(CallsStartingWith("RegSetValue").empty());
    }
}

TEST_F(MtuWriteTest, WritesBothValuesAsStringsAdapterKeyFirst) {
    GiveMachineAnMtu();
    SetRegistryValue(AdapterKey, "Other", FakeRegSz, "sentinel");
    EXPECT_TRUE(WriteMtuValues());
    EXPECT_EQ(CallLog(), MtuWriteCalls());
    FakeValue value;
    ASSERT_TRUE(RegistryValue(AdapterKey, "IPMTU", &value));
    EXPECT_EQ(value.type, FakeRegSz);
    EXPECT_EQ(value.data, std::string("576", 4));
    ASSERT_TRUE(RegistryValue(ParameterKey, nullptr, &value));
    EXPECT_EQ(value.type, FakeRegSz);
    EXPECT_EQ(value.data, std::string("576", 4));
    ASSERT_TRUE(RegistryValue(AdapterKey, "Other", &value));
    EXPECT_EQ(value.data, "sentinel");
    EXPECT_FALSE(RegistryValue(ParameterKey, "IPMTU", &value));
}

// Each failure is reported, yet the other key is still written and nothing
// written is rolled back.
TEST_F(MtuWriteTest, AFailedCallIsReportedAndTheOtherKeyStillWritten) {
    struct Case {
        RegistryCall call;
        const std::string& path;
        const std::string& otherPath;
        const char* otherName;
        size_t closes;
    } cases[] = {
        {RegistryCall::Create, AdapterKey, ParameterKey, nullptr, 1},
        {RegistryCall::Write, AdapterKey, ParameterKey, nullptr, 2},
        {RegistryCall::Create, ParameterKey, AdapterKey, "IPMTU", 1},
        {RegistryCall::Write, ParameterKey, AdapterKey, "IPMTU", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.call == RegistryCall::Create ? "create " : "write ") + c.path);
        ResetFakes();
        GiveMachineAnMtu();
        FailRegistryCall(c.call, c.path);
        EXPECT_FALSE(WriteMtuValues());
        FakeValue value;
        ASSERT_TRUE(RegistryValue(c.otherPath, c.otherName, &value));
        EXPECT_EQ(value.data, std::string("576", 4));
        EXPECT_EQ(CallsStartingWith("RegCloseKey").size(), c.closes);
        EXPECT_EQ(CallsStartingWith("RegCreateKey").size(), 2u);
        EXPECT_EQ(OpenRegistryKeys(), 0);
    }
}

} // namespace
