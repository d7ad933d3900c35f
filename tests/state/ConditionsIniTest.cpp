// The machine conditions in the ini file: assignments and what each measured
// point was measured with survive a restart; damaged entries read as the
// stored waveform, take nothing else with them and stay as the user wrote them.
#include "IniFolderFixture.h"
#include "SimSession.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "state/Inifile.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class ConditionsIniTest : public IniFolderTest {
  protected:
    void TearDown() override {
        ClearConditions();
        IniFolderTest::TearDown();
    }
    // One run of the program: read the file, switch on, run the lines, close.
    TPointRecord RunProgram(std::initializer_list<const char*> lines, int16_t point) {
        LoadIniFile(path);
        std::ostringstream out;
        TPointRecord record{};
        {
            TSimSession session(out, 46000.0);
            for (const char* line : {"k1-long", "wait 1500"}) {
                std::string error;
                EXPECT_TRUE(session.RunLine(line, error)) << error;
            }
            for (const char* line : lines) {
                std::string error;
                EXPECT_TRUE(session.RunLine(line, error)) << error;
            }
            RouteGetPoint(point, record);
        }
        EXPECT_TRUE(SaveIniFile());
        return record;
    }
};

TEST_F(ConditionsIniTest, AMeasuredPointReadsTheSameAfterARestart) {
    Write("[MachineConditions]\n2=bearing-inner rpm=1480 velocity=4.5 seed=7\n");
    const TPointRecord measured = RunProgram({"k2", "k1", "k2", "wait 5900"}, 2);
    EXPECT_EQ(measured.Status, REC_MEASURED);
    EXPECT_NEAR(measured.Results.Value[RESULT_VEL_RMS], 4.5f, 0.03f * 4.5f);
    // The trainer changes the assignment before the next run: the measured
    // point still holds what it measured.
    std::string text = Read();
    text.replace(text.find("bearing-inner"), 13, "imbalance");
    Write(text);
    ClearConditions();
    const TPointRecord rebuilt = RunProgram({}, 2);
    EXPECT_EQ(rebuilt.Results.Value, measured.Results.Value);
    EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Imbalance);
}

TEST_F(ConditionsIniTest, DamagedEntriesReadAsStoredAndTheRestOfTheFileStays) {
    Write("[Foreign]\nkeep=me\n"
          "[MachineConditions]\n"
          "1=wobble rpm=1480\n"
          "2=imbalance rpm=abc\n"
          "3=gear teeth=31 velocity=7.1\n"
          "4=imbalance rpm=30000\n"
          "5=imbalance rpm=30001\n"
          "Watch=looseness\n"
          "HF=\n"
          "Note=a line of our own section we do not know\n"
          "[MeasuredConditions]\n"
          "5=misalignment velocity=1e400\n"
          "[RoutePoints]\n3=4\n");
    LoadIniFile(path);
    EXPECT_EQ(AssignedCondition(1).Kind, TConditionKind::Stored);
    EXPECT_EQ(AssignedCondition(2).Kind, TConditionKind::Stored);
    EXPECT_EQ(AssignedCondition(3).Teeth, 31);
    EXPECT_EQ(AssignedCondition(4).Rpm, 30000.0);
    EXPECT_EQ(AssignedCondition(5).Kind, TConditionKind::Stored);
    EXPECT_EQ(AssignedCondition(SOURCE_WATCH).Kind, TConditionKind::Looseness);
    EXPECT_EQ(AssignedCondition(SOURCE_HF).Kind, TConditionKind::Stored);
    EXPECT_EQ(MeasuredCondition(5).Kind, TConditionKind::Stored);
    EXPECT_EQ(SavedState.RoutePoints[2], 4);

    // The trainer sets point 4 back to the stored waveform; the entries the
    // program could not read are the user's to mend and stay as written.
    AssignCondition(4, TCondition{});
    ASSERT_TRUE(SaveIniFile());
    const std::string saved = Read();
    EXPECT_THAT(saved, HasSubstr("keep=me"));
    EXPECT_THAT(saved, HasSubstr("Note=a line of our own section we do not know"));
    EXPECT_THAT(saved, HasSubstr("\n1=wobble rpm=1480\n2=imbalance rpm=abc\n3=gear rpm=1480 velocity=7.1"));
    EXPECT_THAT(saved, HasSubstr("\n4=stored\n5=imbalance rpm=30001\nWatch=looseness rpm="));
    EXPECT_THAT(saved, HasSubstr("\nHF=\nNote="));
    ClearConditions();
    LoadIniFile(path);
    EXPECT_EQ(AssignedCondition(3).Teeth, 31);
    EXPECT_EQ(AssignedCondition(SOURCE_WATCH).Kind, TConditionKind::Looseness);
    EXPECT_EQ(AssignedConditions().size(), 2u);
    // A second save keeps them still.
    ASSERT_TRUE(SaveIniFile());
    EXPECT_EQ(Read(), saved);
}

// Values no machine has, as a hand or a damaged file writes them: each entry
// reads as the stored waveform and stays as written, every sound entry is
// taken, and a point that holds one measures at once.
TEST_F(ConditionsIniTest, HostileValuesReadAsStoredAndTakeNothingElse) {
    // clang-format off
    const char* hostile[] = {
        "bearing-outer bearing=8,0.00001,12,0",
        "gear teeth=1e10",
        "vane-pass blades=1e10",
        "imbalance rpm=1e-300",
        "imbalance velocity=70.5",
        "bearing-inner bearing=101,0.3,12,0",
        "bearing-ball bearing=8,2,12,46",
        "resonance resonance=1e10",
        "bearing-cage stage=5",
        "imbalance speed-jitter=nan",
        "imbalance+gear shares=1,0",
        "imbalance+imbalance",
    };
    // clang-format on
    std::string text = "[MachineConditions]\n";
    for (std::size_t i = 0; i < std::size(hostile); ++i)
        text += std::to_string(i + 1) + "=" + hostile[i] + "\n";
    text += "13=electrical+bearing-outer rpm=2970 line=50 stage=3 speed-jitter=1 shares=2,1\n"
            "[MeasuredConditions]\n2=gear teeth=1e10\n";
    Write(text);
    const TPointRecord record = RunProgram({"k2", "k1", "k2", "wait 5900"}, 2);
    EXPECT_EQ(record.Status, REC_MEASURED) << "the point with the hostile entry measured the stored waveform";
    for (int16_t source = 1; source <= 12; ++source)
        EXPECT_EQ(AssignedCondition(source).Kind, TConditionKind::Stored) << hostile[source - 1];
    EXPECT_EQ(AssignedCondition(13).Second, TConditionKind::BearingOuter);
    EXPECT_EQ(AssignedCondition(13).Stage, 3);
    const std::string saved = Read();
    for (const char* entry : hostile)
        EXPECT_THAT(saved, HasSubstr(std::string("=") + entry + "\n"));
    EXPECT_THAT(saved, HasSubstr("13=electrical+bearing-outer rpm=2970"));
}

} // namespace
