// The ten stages of a run: texts, steps, waits and where the work falls.
#include "../optimize/run.h"
#include "test_support.h"

namespace {

using RunTest = NetoptTest;

std::string Stage(int percent) {
    return "SendItemText 20 Оптимизация " + std::to_string(percent) + "%";
}

TEST_F(RunTest, GoesThroughTenStagesWithTheirWaitsChecksWritesDialsAndHangsUp) {
    GiveMachineAnMtu();
    ASSERT_TRUE(RunOptimization());
    HRASCONN handle = DialHandleGiven(0);
    std::vector<std::string> expected = {
        Stage(10),
        "StepProgress 105",
        "Wait 1000",
        "RegOpenKey " + AdapterKey,
        "RegQueryValue " + AdapterKey + " IPMTU offered 255",
        "RegCloseKey " + AdapterKey,
    };
    for (const std::string& call : MtuWriteCalls())
        expected.push_back(call);
    expected.push_back("Wait 1000");
    expected.push_back("RasDial");
    for (int percent = 20; percent <= 90; percent += 10) {
        expected.push_back(Stage(percent));
        expected.push_back("StepProgress 105");
        expected.push_back("Wait 1000");
    }
    expected.push_back(Stage(100));
    expected.push_back("StepProgress 105");
    expected.push_back("RasHangUp " + Handle(handle));
    expected.push_back("Wait 3000");
    EXPECT_EQ(CallLog(), expected);
    EXPECT_EQ(VirtualTimeMs(), 13000u);
}

TEST_F(RunTest, TheBarReaches100ExactlyAtTheLastStage) {
    GiveMachineAnMtu();
    ASSERT_TRUE(RunOptimization());
    EXPECT_EQ(ControlState(IDC_PROGRESS).position, 100);
    EXPECT_EQ(ControlState(IDC_STATUS).text, "Оптимизация 100%");
    EXPECT_EQ(CallsStartingWith("StepProgress").size(), 10u);
}

TEST_F(RunTest, AFailedCheckStopsAfterStageOneWithNothingWrittenOrDialled) {
    AddRegistryKey(AdapterKey);
    EXPECT_FALSE(RunOptimization());
    EXPECT_EQ(WaitsRecorded(), std::vector<unsigned>{1000});
    EXPECT_EQ(ControlState(IDC_STATUS).text, "Оптимизация 10%");
    EXPECT_EQ(ControlState(IDC_PROGRESS).position, 10);
    EXPECT_TRUE(CallsStartingWith("RegCreateKey").empty());
    EXPECT_TRUE(CallsStartingWith("RegSetValue").empty());
    EXPECT_TRUE(DialsPlaced().empty());
    EXPECT_TRUE(HangUps().empty());
}

// Reporting success after a failed write would tell the user the MTU is set.
TEST_F(RunTest, AFailedWriteStopsTheRunBeforeTheDial) {
    const std::string* failing[] = {&AdapterKey, &ParameterKey};
    for (const std::string* path : failing) {
        SCOPED_TRACE(*path);
        ResetFakes();
        GiveMachineAnMtu();
        FailRegistryCall(RegistryCall::Write, *path);
        EXPECT_FALSE(RunOptimization());
        EXPECT_EQ(CallsStartingWith("RegSetValue").size(), 2u);
        EXPECT_EQ(WaitsRecorded(), std::vector<unsigned>{1000});
        EXPECT_TRUE(DialsPlaced().empty());
        EXPECT_EQ(ControlState(IDC_PROGRESS).position, 10);
    }
}

TEST_F(RunTest, AServiceThatStoresNoHandleIsStillHungUpAtTheEnd) {
    GiveMachineAnMtu();
    ASSERT_TRUE(RunOptimization()); // the first dial leaves its handle behind
    ResetFakes();
    GiveMachineAnMtu();
    SetDialStoresHandle(false);
    EXPECT_TRUE(RunOptimization());
    EXPECT_EQ(HangUps(), std::vector<HRASCONN>{nullptr});
}

} // namespace
