// The test call's parameters, its hang-up, and the notifier's handling of
// every kind of error, also from several threads at once.
#include <string.h>

#include <algorithm>
#include <thread>

#include "test_support.h"

namespace {

using TestDialTest = NetoptTest;

// The field holds text and then zero bytes up to its end.
testing::AssertionResult FieldHolds(const char* field, size_t size, const std::string& text) {
    if (memcmp(field, text.data(), text.size()) != 0)
        return testing::AssertionFailure() << "text differs from \"" << text << "\"";
    for (size_t i = text.size(); i < size; ++i)
        if (field[i] != 0)
            return testing::AssertionFailure() << "byte " << i << " is not zero";
    return testing::AssertionSuccess();
}

TEST_F(TestDialTest, DialsTheDummyNumberWithExactlyTheseParameters) {
    StartTestDial();
    ASSERT_EQ(DialsPlaced().size(), 1u);
    DialParams p = DialsPlaced()[0];
    EXPECT_EQ(p.dwSize, 1052u);
    std::string number;
    for (int i = 0; i < 7; ++i)
        number += "1234567890";
    EXPECT_TRUE(FieldHolds(p.szEntryName, 257, ""));
    EXPECT_TRUE(FieldHolds(p.szPhoneNumber, 129, number));
    EXPECT_TRUE(FieldHolds(p.szCallbackNumber, 129, ""));
    EXPECT_TRUE(FieldHolds(p.szUserName, 257, ""));
    EXPECT_TRUE(FieldHolds(p.szPassword, 257, ""));
    EXPECT_TRUE(FieldHolds(p.szDomain, 16, "*"));
}

TEST_F(TestDialTest, HangUpUsesTheStoredHandleThenWaitsThreeSeconds) {
    StartTestDial();
    HangUpTestDial();
    EXPECT_EQ(HangUps(), std::vector<HRASCONN>{DialHandleGiven(0)});
    EXPECT_EQ(WaitsRecorded(), std::vector<unsigned>{3000});
}

TEST_F(TestDialTest, EachDialStartsFromANullHandle) {
    StartTestDial();
    SetDialStoresHandle(false);
    StartTestDial();
    HangUpTestDial();
    EXPECT_EQ(HangUps(), std::vector<HRASCONN>{nullptr});
}

struct NotifierCase {
    uint32_t error;
    std::vector<std::string> after; // what follows the hang-up, in order
    bool noDialTone;
};

TEST_F(TestDialTest, TheNotifierHandlesEachErrorCode) {
    const std::vector<std::string> connectionError = {
        "Beep 1000 1000", "ErrorBox none Ошибка соединения. | Ошибка", "EndProcess 0"};
    const NotifierCase cases[] = {
        {631, {}, false},
        {680,
         {"Beep 1000 1000", "ErrorBox none Нет сигнала в линии. | Ошибка", "EndProcess 0"},
         true},
        {1, connectionError, false},
        {678, connectionError, false},
        {0xFFFFFFFF, connectionError, false},
    };
    for (const NotifierCase& c : cases) {
        SCOPED_TRACE("error " + std::to_string(c.error));
        ResetFakes();
        NoDialTone.store(false);
        StartTestDial();
        DialNotify(0xCCCD, 0, c.error);
        std::vector<std::string> expected = {"RasHangUp " + Handle(DialHandleGiven(0))};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(LogFrom(expected[0]), expected);
        EXPECT_EQ(NoDialTone.load(), c.noDialTone);
    }
}

TEST_F(TestDialTest, NoErrorHasNoEffectAtAll) {
    StartTestDial();
    size_t before = CallLog().size();
    DialNotify(0xCCCD, 1, 0);
    DialNotify(0xCCCD, 2, 0);
    EXPECT_EQ(CallLog().size(), before);
    EXPECT_FALSE(NoDialTone.load());
}

// The service may notify before its dial call has returned: the handle it
// stored first must already be the one hung up.
TEST_F(TestDialTest, ANotificationBeforeTheDialReturnsHangsUpTheNewHandle) {
    ScheduleNotification(BeforeDialReturns, 631);
    StartTestDial();
    EXPECT_EQ(HangUps(), std::vector<HRASCONN>{DialHandleGiven(0)});
    EXPECT_EQ(CallLog().back(), "RasHangUp " + Handle(DialHandleGiven(0)));
}

TEST_F(TestDialTest, RepeatedNotificationsAreEachHandled) {
    ScheduleConcurrentNotifications(BeforeDialReturns, {0});
    StartTestDial();
    DialNotify(0xCCCD, 0, 631);
    DialNotify(0xCCCD, 0, 0);
    DialNotify(0xCCCD, 0, 631);
    EXPECT_EQ(HangUps().size(), 2u);
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_EQ(ProcessEndCount(), 0);
}

// Calls on several threads at once each follow the rules on their own.
TEST_F(TestDialTest, ConcurrentNotificationsAreEachHandled) {
    ScheduleConcurrentNotifications(BeforeDialReturns, {680, 1, 631, 0, 680});
    StartTestDial();
    std::vector<HRASCONN> hungUp = HangUps();
    EXPECT_EQ(hungUp, std::vector<HRASCONN>(4, DialHandleGiven(0)));
    EXPECT_EQ(MessageBoxesShown().size(), 3u);
    EXPECT_EQ(CallsStartingWith("Beep").size(), 3u);
    EXPECT_EQ(ProcessEndCount(), 3);
    EXPECT_TRUE(NoDialTone.load());
}

} // namespace

namespace {

// A late notification of one call may come while the next call is being
// started: the handle must pass between the threads without a data race.
TEST_F(TestDialTest, ANotificationRacingTheNextDialIsSafe) {
    const int dials = 50;
    std::thread late([] {
        for (int i = 0; i < dials; ++i)
            DialNotify(0xCCCD, 0, 631);
    });
    for (int i = 0; i < dials; ++i)
        StartTestDial();
    late.join();
    std::vector<HRASCONN> given;
    for (size_t i = 0; i < dials; ++i)
        given.push_back(DialHandleGiven(i));
    for (HRASCONN handle : HangUps())
        EXPECT_TRUE(handle == nullptr ||
                    std::find(given.begin(), given.end(), handle) != given.end());
}

} // namespace
