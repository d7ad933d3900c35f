// The saved state's ini file: defaults, 16-bit truncation, the off-route
// list's end, the erasing order on writing, and failures that lose nothing.
#include "state/Inifile.h"
#include "IniFolderFixture.h"
#include "SimSession.h"
#include "firmware/Offlinemode.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class IniFileTest : public IniFolderTest {
  protected:
    void Load(const std::string& text) {
        Write(text);
        LoadIniFile(path);
    }
};

TEST_F(IniFileTest, AMissingFileGivesTheDefaults) {
    SavedState.SelectedPoint = 99;
    LoadIniFile(path);
    EXPECT_EQ(SavedState.SelectedPoint, 1);
    EXPECT_EQ(SavedState.BacklightOn, 1);
    EXPECT_EQ(SavedState.IsPointSelectMenu, 0);
    EXPECT_EQ(SavedState.ActiveMenu, 0);
    EXPECT_THAT(SavedState.UnroutePoints, IsEmpty());
    EXPECT_THAT(SavedState.RoutePoints, Each(0));
    EXPECT_EQ(SavedState.LanguageName, "");
}

TEST_F(IniFileTest, TheOffRouteListEndsAtTheFirstValueBelowOne) {
    Load("[UnroutePoints]\n1=6\n2=0\n3=7\n");
    EXPECT_THAT(SavedState.UnroutePoints, ElementsAre(6));
    Load("[UnroutePoints]\n2=6\n3=7\n");
    EXPECT_THAT(SavedState.UnroutePoints, IsEmpty()) << "without key 1 the list is empty";
    Load("[UnroutePoints]\n1=6\n2=-3\n3=7\n");
    EXPECT_THAT(SavedState.UnroutePoints, ElementsAre(6));
}

TEST_F(IniFileTest, ValuesAreTruncatedTo16BitsAndNonNumbersReadAsDefaults) {
    Load("[DeviceState]\nSelectedPoint=65537\nActiveMenu=abc\nMeasureUnit=70000\nAccelPK= 2 \n"
         "BacklightOn=yes\nIsPointSelectMenu=5\nFrequencyHz=99999999999\nDisplPP=$10\n"
         "[RoutePoints]\n1=65535\n2=4x\n");
    EXPECT_EQ(SavedState.SelectedPoint, 1);
    EXPECT_EQ(SavedState.ActiveMenu, 0);
    EXPECT_EQ(SavedState.MeasureUnit, 4464);
    EXPECT_EQ(SavedState.AccelPK, 2);
    EXPECT_EQ(SavedState.BacklightOn, 1) << "not a number: the default, true";
    EXPECT_EQ(SavedState.IsPointSelectMenu, 1) << "any non-zero number is true";
    EXPECT_EQ(SavedState.FrequencyHz, 0) << "beyond 32 bits is not a number";
    EXPECT_EQ(SavedState.DisplPP, 16);
    EXPECT_EQ(SavedState.RoutePoints[0], 0xFFFF);
    EXPECT_EQ(SavedState.RoutePoints[1], 0);
}

TEST_F(IniFileTest, NamesAreReadWithoutRegardToCaseOrBlanks) {
    Load("; comment\n[deviceSTATE]\n  selectedpoint = 470\nBacklightOn=0\n[language]\nname=RUS\n"
         "[UserManual]\nENG=manuals/en.pdf\nRUS = ../ru.pdf\n");
    EXPECT_EQ(SavedState.SelectedPoint, 470);
    EXPECT_EQ(SavedState.BacklightOn, 0);
    EXPECT_EQ(SavedState.LanguageName, "RUS");
    EXPECT_THAT(SavedState.UserManuals, ElementsAre("ENG=manuals/en.pdf", "RUS=../ru.pdf"));
}

TEST_F(IniFileTest, ADamagedFileGivesDefaultsWithoutACrash) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    Load(garbage + "\n[DeviceState\nSelectedPoint\n=5\n[UnroutePoints]\n1=\n");
    EXPECT_EQ(SavedState.SelectedPoint, 1);
    EXPECT_THAT(SavedState.UnroutePoints, IsEmpty());
}

TEST_F(IniFileTest, WritingKeepsForeignLinesAndErasesOnlyItsOwnSections) {
    Load("; kept\n[Other]\nx=1\n[RoutePoints]\n14=5\n1=4\n[UnroutePoints]\n1=6\n2=7\n3=6\n"
         "[DeviceState]\nOld=1\n[UserManual]\nDEU=de.pdf\n");
    SavedState.UnroutePoints = {7};
    SavedState.RoutePoints[0] = 0;
    SavedState.LanguageName = "ENG";
    SavedState.UserManuals = {"ENG=usermanual_orx700.pdf", "=ignored"};
    ASSERT_TRUE(SaveIniFile());
    const std::string text = Read();
    EXPECT_THAT(text, HasSubstr("; kept\n"));
    EXPECT_THAT(text, HasSubstr("[Other]\nx=1\n"));
    EXPECT_THAT(text, HasSubstr("[RoutePoints]\n14=5\n1=0\n2=0\n"));
    EXPECT_THAT(text, HasSubstr("[UnroutePoints]\n1=7\n\n"));
    EXPECT_THAT(text, Not(HasSubstr("Old=1")));
    EXPECT_THAT(text,
                HasSubstr("[DeviceState]\nMeasureUnit=0\nActiveMenu=0\nSelectedPoint=1\nIsPointSelectMenu=0\n"
                          "BacklightOn=1\nAccelPK=0\nVelocityRMS=0\nDisplPP=0\nFrequencyHz=0\n"));
    EXPECT_THAT(text, HasSubstr("[Language]\nName=ENG\n"));
    EXPECT_THAT(text, HasSubstr("[UserManual]\nDEU=de.pdf\nENG=usermanual_orx700.pdf\n"));
    EXPECT_THAT(text, Not(HasSubstr("ignored")));
    EXPECT_EQ(g_IniFile, nullptr);
}

TEST_F(IniFileTest, ARoundTripGivesBackTheSameState) {
    LoadIniFile(path);
    SavedState.UnroutePoints.assign(3000, 6);
    SavedState.SelectedPoint = 476;
    SavedState.ActiveMenu = 3;
    SavedState.IsPointSelectMenu = 1;
    SavedState.BacklightOn = 0;
    SavedState.RoutePoints[12] = 4;
    SavedState.LanguageName = "RUS";
    const TDeviceState before = SavedState;
    ASSERT_TRUE(SaveIniFile());
    SavedState = TDeviceState{};
    LoadIniFile(path);
    EXPECT_EQ(SavedState.UnroutePoints, before.UnroutePoints);
    EXPECT_EQ(SavedState.SelectedPoint, 476);
    EXPECT_EQ(SavedState.ActiveMenu, 3);
    EXPECT_EQ(SavedState.IsPointSelectMenu, 1);
    EXPECT_EQ(SavedState.BacklightOn, 0);
    EXPECT_EQ(SavedState.RoutePoints[12], 4);
    EXPECT_EQ(SavedState.LanguageName, "RUS");
    SaveIniFile();
}

// The presenter size: the sizes the window offers round-trip by name; a
// damaged or unknown value is the normal size, and the normal size leaves no
// line behind, as a file of the default look always was. The kiosk's idle
// time in the same section survives every save.
TEST_F(IniFileTest, ThePresenterSizeRoundTripsAndADamagedOneIsTheNormalSize) {
    const struct {
        const char* Line;
        uint8_t Read;
    } read[] = {{"Size=1x", 2}, {"Size=1.5x", 3}, {"Size=2x", 4},  {"Size=3x", 2},       {"Size=1.5", 2},
                {"Size=", 2},   {"Size=2x0", 2},  {"Size=-2x", 2}, {"Size=\xff\xfe", 2}, {"", 2}};
    for (const auto& c : read) {
        Load(std::string("[Presenter]\n") + c.Line + "\n");
        EXPECT_EQ(SavedState.PresenterSize, c.Read) << c.Line;
    }
    const struct {
        uint8_t Size;
        const char* Written; // empty: no Size line
    } written[] = {{3, "Size=1.5x"}, {4, "Size=2x"}, {2, ""}, {0, ""}, {5, ""}, {255, ""}};
    for (const auto& c : written) {
        // The operator's idle time for the kiosk shares the section.
        Load("[Presenter]\nSize=2x\nKioskIdleMinutes=10\n");
        SavedState.PresenterSize = c.Size;
        ASSERT_TRUE(SaveIniFile());
        const std::string text = Read();
        if (*c.Written != 0) {
            EXPECT_THAT(text, HasSubstr(std::string("\n") + c.Written + "\n")) << int{c.Size};
        } else {
            EXPECT_THAT(text, Not(HasSubstr("Size="))) << int{c.Size};
        }
        EXPECT_THAT(text, HasSubstr("KioskIdleMinutes=10\n")) << int{c.Size};
        LoadIniFile(path);
        EXPECT_EQ(SavedState.PresenterSize, *c.Written != 0 ? c.Size : 2) << int{c.Size};
    }
}

TEST_F(IniFileTest, AReadOnlyFolderKeepsTheOldFileWhole) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    Load("[DeviceState]\nSelectedPoint=5\n");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    SavedState.SelectedPoint = 7;
    EXPECT_FALSE(SaveIniFile());
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(Read(), "[DeviceState]\nSelectedPoint=5\n");
}

TEST_F(IniFileTest, AConfigFolderThatDoesNotExistYetIsMadeOnTheFirstSave) {
    path = (dir / "config" / "orx700-demo" / "orx700-demo.ini").string();
    LoadIniFile(path);
    SavedState.SelectedPoint = 9;
    ASSERT_TRUE(SaveIniFile());
    LoadIniFile(path);
    EXPECT_EQ(SavedState.SelectedPoint, 9);
}

TEST_F(IniFileTest, TheFileBesideAReadOnlyProgramCarriesOverOnce) {
    const std::string former = (dir / "beside.ini").string();
    std::ofstream(former) << "[DeviceState]\nSelectedPoint=5\n[Mine]\nx=1\n";
    path = (dir / "config" / "orx700-demo.ini").string();
    LoadIniFile(path, former);
    EXPECT_EQ(SavedState.SelectedPoint, 5);
    SavedState.SelectedPoint = 7;
    ASSERT_TRUE(SaveIniFile());
    EXPECT_THAT(Read(), HasSubstr("[Mine]\nx=1\n"));
    LoadIniFile(path, former);
    EXPECT_EQ(SavedState.SelectedPoint, 7) << "once the new file exists, the former one is not read";
    SaveIniFile();
    std::ifstream in(former);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "[DeviceState]\nSelectedPoint=5\n[Mine]\nx=1\n");
}

} // namespace

namespace {

// Two runs of the headless instrument with the file in between: the second
// resumes where the first was closed with the device on.
TEST_F(IniFileTest, AStartStopStartCycleResumesWhereItLeftOff) {
    const double clock = 46363.5;
    for (int run = 0; run < 2; ++run) {
        LoadIniFile(path);
        std::ostringstream out;
        {
            TSimSession session(out, clock);
            std::string error;
            for (const char* line : {"k1-long", "wait 1500"})
                ASSERT_TRUE(session.RunLine(line, error)) << error;
            if (run == 0) {
                ASSERT_TRUE(session.RunLine("k1", error)); // machine 2
                ASSERT_TRUE(session.RunLine("k2", error)); // its point line
                ASSERT_TRUE(session.RunLine("k1", error)); // point 7
            } else {
                EXPECT_EQ(MenuState.SelectedPoint, 7);
                EXPECT_EQ(MenuState.MenuItem, ITEM_POINTS);
            }
        } // closing with the device on unwinds the firmware, which saves
        ASSERT_TRUE(SaveIniFile());
        SavedState = TDeviceState{};
    }
    EXPECT_THAT(Read(), HasSubstr("SelectedPoint=7\nIsPointSelectMenu=1\n"));
}

} // namespace
