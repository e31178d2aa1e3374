// The main dialog: its information text, its commands, and the Start
// sequence with the result box a user sees.
#include <fstream>
#include <iterator>

#include "test_support.h"

namespace {

const uintptr_t IdOk = 1;
const uintptr_t IdCancel = 2;
const uintptr_t ButtonSetFocus = 6;

std::string ReadInfoTextFile() {
    std::ifstream file(NETOPT_INFO_TEXT_PATH, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class MainDialogTest : public NetoptTest {
  protected:
    void ClickStart() { EXPECT_FALSE(OnMainDialogCommand(FakeDialogWindow(), IDC_START)); }

    // The result box, its look, and the dialog's idle look after it.
    testing::AssertionResult EndedWithBox(const FakeMessageBox& box, bool error,
                                          const std::string& text, const std::string& caption) {
        if (box.error != error || box.text != text || box.caption != caption)
            return testing::AssertionFailure() << "box \"" << box.text << "\" | " << box.caption;
        if (box.owner != FakeDialogWindow())
            return testing::AssertionFailure() << "the box is not owned by the main dialog";
        if (ControlState(IDC_STATUS).visible || ControlState(IDC_PROGRESS).visible)
            return testing::AssertionFailure() << "status or bar still shown";
        if (!ControlState(IDC_GROUP).enabled || FocusedControl() != IDC_START)
            return testing::AssertionFailure() << "group disabled or Start without the focus";
        return testing::AssertionSuccess();
    }

    testing::AssertionResult EndedWithFailureBox(const FakeMessageBox& box) {
        return EndedWithBox(box, true, "Ошибка. Оптимизация не возможна.", "Ошибка");
    }
    testing::AssertionResult EndedWithSuccessBox(const FakeMessageBox& box) {
        return EndedWithBox(box, false, "Оптимизация выполнена.", "Результат оптимизации");
    }
};

TEST_F(MainDialogTest, TheInformationTextIsExactlyTheResourceBytes) {
    std::string info = ReadInfoTextFile();
    ASSERT_EQ(info.size(), 610u);
    // Module memory goes on after the resource with no zero in sight.
    SetTextResource(info + std::string(64, 'X'), info.size());
    ShowInformationText(FakeDialogWindow());
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"LoadTextResource #30", "SetItemText 106"}));
    EXPECT_EQ(ItemTextSet(IDC_INFO), info);
    ASSERT_NE(InfoText, nullptr);
    EXPECT_EQ(std::string(InfoText, 610), info);
}

TEST_F(MainDialogTest, AMissingTextResourceLeavesTheBoxEmpty) {
    ShowInformationText(FakeDialogWindow());
    EXPECT_EQ(ItemTextSet(IDC_INFO), "");
}

TEST_F(MainDialogTest, OnlyCloseAndTheCloseBoxEndTheDialog) {
    const uintptr_t ignored[] = {
        IdOk,
        IdCancel,
        IDC_GROUP,
        IDC_INFO,
        (ButtonSetFocus << 16) | IDC_CLOSE,
        (ButtonSetFocus << 16) | IDC_START,
        (ButtonSetFocus << 16) | IDC_ABOUT,
    };
    for (uintptr_t command : ignored) {
        SCOPED_TRACE("wParam " + std::to_string(command));
        ResetFakes();
        EXPECT_FALSE(OnMainDialogCommand(FakeDialogWindow(), command));
        EXPECT_TRUE(CallLog().empty());
    }
    ResetFakes();
    EXPECT_TRUE(OnMainDialogCommand(FakeDialogWindow(), IDC_CLOSE));
    EXPECT_TRUE(OnMainDialogClose(FakeDialogWindow()));
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"EndDialog", "EndDialog"}));
}

TEST_F(MainDialogTest, ADialogThatCouldNotBeCreatedEndsTheProcessAsAFailure) {
    EXPECT_EQ(ExitCodeAfterMainDialog(-1), 1u);
    EXPECT_EQ(ExitCodeAfterMainDialog(0), 0u);
}

TEST_F(MainDialogTest, AboutOpensTheAboutDialogAndLeavesTheMainOneOpen) {
    EXPECT_FALSE(OnMainDialogCommand(FakeDialogWindow(), IDC_ABOUT));
    EXPECT_EQ(CallLog(), std::vector<std::string>{"AboutDialog"});
}

TEST_F(MainDialogTest, StartPreparesTheDisplayRunsAndReportsSuccess) {
    GiveMachineAnMtu();
    ClickStart();
    std::vector<std::string> log = CallLog();
    std::vector<std::string> opening(log.begin(), log.begin() + 8);
    EXPECT_EQ(opening, (std::vector<std::string>{"Disable 101", "Show 105", "Show 20",
                                                 "ProgressRange 105 0 100", "ProgressStep 105 10",
                                                 "ProgressPosition 105 0", "Repaint",
                                                 "SendItemText 20 Оптимизация 10%"}));
    EXPECT_EQ(
        LogFrom("MessageBeep 0"),
        (std::vector<std::string>{
            "MessageBeep 0", "InformationBox main Оптимизация выполнена. | Результат оптимизации",
            "Enable 101", "Focus 102", "Hide 105", "Hide 20", "Repaint"}));
    ASSERT_EQ(MessageBoxesShown().size(), 1u);
    FakeMessageBox box = MessageBoxesShown()[0];
    EXPECT_TRUE(EndedWithSuccessBox(box));
    EXPECT_EQ(box.progressPosition, 100);
    EXPECT_TRUE(box.statusVisible);
    EXPECT_EQ(box.statusText, "Оптимизация 100%");
}

TEST_F(MainDialogTest, AFailedCheckShowsTheErrorBoxAtTenPercent) {
    ClickStart();
    ASSERT_EQ(MessageBoxesShown().size(), 1u);
    FakeMessageBox box = MessageBoxesShown()[0];
    EXPECT_TRUE(EndedWithFailureBox(box));
    EXPECT_EQ(box.statusText, "Оптимизация 10%");
    EXPECT_EQ(box.progressPosition, 10);
    EXPECT_EQ(VirtualTimeMs(), 1000u);
    EXPECT_EQ(CallsStartingWith("MessageBeep").size(), 1u);
}

TEST_F(MainDialogTest, AFailedWriteShowsTheErrorBox) {
    GiveMachineAnMtu();
    FailRegistryCall(RegistryCall::Create, ParameterKey);
    ClickStart();
    ASSERT_EQ(MessageBoxesShown().size(), 1u);
    EXPECT_TRUE(EndedWithFailureBox(MessageBoxesShown()[0]));
    EXPECT_TRUE(DialsPlaced().empty());
}

TEST_F(MainDialogTest, NoDialToneDuringTheRunTurnsItsResultIntoTheErrorBox) {
    GiveMachineAnMtu();
    ScheduleNotification(3000, 680);
    ClickStart();
    std::vector<FakeMessageBox> boxes = MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Нет сигнала в линии.");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].progressPosition, 40); // 5 s into the run: stage 4
    EXPECT_TRUE(EndedWithFailureBox(boxes[1]));
    EXPECT_EQ(boxes[1].progressPosition, 100);
}

TEST_F(MainDialogTest, NoDialToneOfAnEarlierRunFailsEveryLaterRun) {
    GiveMachineAnMtu();
    ScheduleNotification(1000, 680);
    ClickStart();
    ResetFakes();
    GiveMachineAnMtu();
    ClickStart();
    ASSERT_EQ(MessageBoxesShown().size(), 1u);
    EXPECT_TRUE(EndedWithFailureBox(MessageBoxesShown()[0]));
}

TEST_F(MainDialogTest, AnotherDialErrorStillEndsWithTheSuccessBox) {
    GiveMachineAnMtu();
    ScheduleNotification(2000, 678);
    ClickStart();
    std::vector<FakeMessageBox> boxes = MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Ошибка соединения.");
    EXPECT_EQ(ProcessEndCount(), 1);
    EXPECT_TRUE(EndedWithSuccessBox(boxes[1]));
}

TEST_F(MainDialogTest, ASecondRunStartsAgainFromZero) {
    GiveMachineAnMtu();
    ClickStart();
    ClickStart();
    EXPECT_EQ(CallsStartingWith("ProgressPosition 105 0").size(), 2u);
    std::vector<FakeMessageBox> boxes = MessageBoxesShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].progressPosition, 100);
    EXPECT_TRUE(EndedWithSuccessBox(boxes[1]));
    EXPECT_EQ(DialsPlaced().size(), 2u);
}

} // namespace
