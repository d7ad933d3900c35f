// The ini file in a folder others may touch, and in shapes editors and
// other programs leave: links, special files, read-only and huge files,
// other line ends and encodings, a full disk. Nothing of the user's is lost,
// nothing but the ini is written, and nothing blocks.
#include "FileSizeLimit.h"
#include "IniFolderFixture.h"
#include "firmware/Offlinemode.h"
#include "state/Inifile.h"

#include <gmock/gmock.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class IniFileSafetyTest : public IniFolderTest {
  protected:
    // A load and a save of what the file holds, with the state changed between.
    bool Cycle() {
        LoadIniFile(path);
        SavedState.SelectedPoint = 7;
        return SaveIniFile();
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(IniFileSafetyTest, LinksNeverRedirectTheSaveAndALinkedIniUpdatesItsTarget) {
    // Links planted at names a save might use for its temporary file.
    const std::string victim = (dir / "victim").string();
    Write(victim, "someone else's\n");
    for (const char* name : {"orx700-demo.ini.new", "orx700-demo.ini.tmp", ".orx700-demo.ini.new"})
        fs::create_symlink(victim, dir / name);
    ASSERT_TRUE(Cycle());
    EXPECT_EQ(Read(victim), "someone else's\n");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_THAT(Read(path), HasSubstr("SelectedPoint=7"));

    // The ini itself a link (a synced or shared copy): the target is rewritten beside itself.
    fs::create_directory(dir / "real");
    const std::string target = (dir / "real" / "state.ini").string();
    Write(target, "[Mine]\nx=1\n");
    fs::remove(path);
    fs::create_symlink(fs::path("real") / "state.ini", path);
    ASSERT_TRUE(Cycle());
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_THAT(Read(target), StartsWith("[Mine]\nx=1\n"));
    EXPECT_THAT(Read(target), HasSubstr("SelectedPoint=7"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1)
        << "no temporary file left beside the target";
}

TEST_F(IniFileSafetyTest, AReadOnlyFileStaysAndARewrittenFileKeepsItsMode) {
    Write(path, "[DeviceState]\nSelectedPoint=5\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(Cycle());
    EXPECT_EQ(Read(path), "[DeviceState]\nSelectedPoint=5\n");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(Cycle());
    EXPECT_THAT(Read(path), HasSubstr("SelectedPoint=7"));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileSafetyTest, SpecialFilesNeitherBlockNorAreReplaced) {
    // A FIFO: reading must not wait for a writer, and it stays a FIFO.
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    SavedState.SelectedPoint = 99;
    EXPECT_FALSE(Cycle());
    EXPECT_TRUE(fs::is_fifo(path));
    fs::remove(path);
    // A device node (only root can make one).
    if (geteuid() == 0) {
        ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0); // as /dev/null
        EXPECT_FALSE(Cycle());
        EXPECT_TRUE(fs::is_character_file(path));
        fs::remove(path);
    }
    // A folder at the ini's name.
    fs::create_directory(path);
    EXPECT_FALSE(Cycle());
    EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(IniFileSafetyTest, AFullDiskLeavesTheOldFileAndNoPartialFile) {
    Write(path, "[DeviceState]\nSelectedPoint=5\n");
    LoadIniFile(path);
    SavedState.SelectedPoint = 7;
    // Writes beyond 16 bytes fail with EFBIG, as on a full disk.
    bool saved = false;
    {
        const TFileSizeLimit limit(16);
        saved = SaveIniFile();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(Read(path), "[DeviceState]\nSelectedPoint=5\n");
    EXPECT_THAT(Entries(), ::testing::ElementsAre("orx700-demo.ini"));
}

TEST_F(IniFileSafetyTest, ATemporaryFileOfAKilledSaveIsRemovedAtTheNextSaveAndNothingElse) {
    const std::string ours = ".orx700-demo.ini.orx700-part-Ab12Cd";
    // Names a user or another program may give their own files, up to one
    // letter from ours.
    const std::vector<std::string> theirs = {".orx700-demo.ini.Ab12Cd",
                                             ".orx700-demo.ini.kept",
                                             ".orx700-demo.ini.orx700-part-Ab12C",
                                             ".orx700-demo.ini.orx700-part-Ab12Cde",
                                             ".orx700-demo.ini.orx700-part-Ab_2Cd",
                                             ".other.ini.orx700-part-Ab12Cd"};
    for (const std::string& name : theirs)
        Write((dir / name).string(), "mine");
    for (int save = 0; save < 2; ++save) {
        Write((dir / ours).string(), "[Half");
        ASSERT_TRUE(Cycle());
        EXPECT_FALSE(fs::exists(dir / ours)) << "save " << save;
        for (const std::string& name : theirs)
            EXPECT_EQ(Read((dir / name).string()), "mine") << name << ", save " << save;
    }
}

// A file within the size limit that the state would grow past it: the next
// start would refuse it and nothing later would be saved, so the save is
// refused and the file stays. Up to the limit it is written.
TEST_F(IniFileSafetyTest, ASaveIsWrittenUpToTheSizeLimitAndRefusedPastIt) {
    LoadIniFile(path);
    SavedState.SelectedPoint = 5;
    ASSERT_TRUE(SaveIniFile());
    const std::string ours = Read(path); // every key the program writes
    // From point 5 to 478 the file grows by two bytes.
    for (const std::size_t grown :
         {MAX_INI_FILE_BYTES - 1, MAX_INI_FILE_BYTES, MAX_INI_FILE_BYTES + 1, MAX_INI_FILE_BYTES + 2}) {
        // Built by appending: GCC 12 takes the sum of these for an overlap.
        std::string text = ";";
        text.append(grown - 2 - ours.size() - 2, 'x');
        text += '\n';
        text += ours;
        Write(path, text);
        LoadIniFile(path);
        ASSERT_EQ(SavedState.SelectedPoint, 5) << grown << ": read as one of ours";
        SavedState.SelectedPoint = 478;
        TIniSave result = TIniSave::Saved;
        const bool saved = SaveIniFile(&result);
        if (grown <= MAX_INI_FILE_BYTES) {
            EXPECT_TRUE(saved) << grown;
            EXPECT_EQ(result, TIniSave::Saved) << grown;
            EXPECT_EQ(Read(path).size(), grown);
            LoadIniFile(path);
            EXPECT_EQ(SavedState.SelectedPoint, 478) << grown << ": the next start reads it";
        } else {
            EXPECT_FALSE(saved) << grown;
            EXPECT_EQ(result, TIniSave::TooLarge) << grown;
            EXPECT_EQ(Read(path), text) << grown;
        }
        EXPECT_THAT(Entries(), ::testing::ElementsAre("orx700-demo.ini")) << grown;
    }
}

// Every line the program does not own comes back exactly, in its place.
struct TForeignText {
    const char* Name;
    std::string Text;
};

class IniForeignTextTest : public IniFileSafetyTest, public ::testing::WithParamInterface<TForeignText> {};

TEST_P(IniForeignTextTest, SurvivesALoadAndASave) {
    Write(path, GetParam().Text);
    ASSERT_TRUE(Cycle());
    const std::string text = Read(path);
    EXPECT_THAT(text, StartsWith(GetParam().Text));
    LoadIniFile(path);
    EXPECT_EQ(SavedState.SelectedPoint, 7) << text;
    ASSERT_TRUE(SaveIniFile());
    EXPECT_EQ(Read(path), text) << "a second save changes nothing";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, IniForeignTextTest, ::testing::Values(
    TForeignText{"CrOnly",            "; mine\r[Other]\rx=1\r[More]\ry=2\r"},
    TForeignText{"CrLf",              "[Other]\r\nx=1\r\n\r\n"},
    TForeignText{"TextAfterHeader",   "[Other] ; kept\nx=1\n[Tools]x\ny=2\n"},
    TForeignText{"EmptyHeader",       "[A]\nx=1\n[]\nk=v\n"},
    TForeignText{"TwoCarriageReturns","[A]\nx=1\r\r\ny=2\r\r\n"},
    TForeignText{"Utf8Mark",          "\xEF\xBB\xBF[A]\nx=1\n"},
    TForeignText{"NoLastLineEnd",     "[A]\nx=1"}),
    [](const auto& test) { return std::string(test.param.Name); });
// clang-format on

TEST_F(IniFileSafetyTest, OtherLineEndsAreReadAndDeviceKeysReplacedInPlace) {
    for (const std::string end : {"\r", "\r\n", "\n"}) {
        Write(path, "[DeviceState]" + end + "SelectedPoint=5" + end + "BacklightOn=0" + end + "[Language]" +
                        end + "Name=RUS" + end);
        LoadIniFile(path);
        EXPECT_EQ(SavedState.SelectedPoint, 5);
        EXPECT_EQ(SavedState.BacklightOn, 0);
        EXPECT_EQ(SavedState.LanguageName, "RUS");
        ASSERT_TRUE(SaveIniFile());
        EXPECT_THAT(Read(path), HasSubstr("SelectedPoint=5" + end)) << "new lines take the file's line end";
    }
}

TEST_F(IniFileSafetyTest, FilesNotOursToReadAreLeftAsTheyAre) {
    // UTF-16 with its mark, as some editors save.
    const std::string utf16("\xFF\xFE[\0D\0e\0v\0i\0c\0e\0S\0t\0a\0t\0e\0]\0\r\0\n\0", 30);
    // Above the size an ini of ours can reach.
    const std::string huge = "[DeviceState]\nSelectedPoint=5\n" + std::string(MAX_INI_FILE_BYTES, '\n');
    for (const std::string& text : {utf16, huge}) {
        Write(path, text);
        SavedState.SelectedPoint = 99;
        LoadIniFile(path);
        EXPECT_EQ(SavedState.SelectedPoint, 1) << "the defaults";
        EXPECT_FALSE(SaveIniFile());
        EXPECT_TRUE(Read(path) == text) << "left as it was";
    }
}

TEST_F(IniFileSafetyTest, ManyKeysOfAnySectionLoadAndSave) {
    std::string text = "[UnroutePoints]\n";
    for (int n = 1; n <= 100000; ++n)
        text += std::to_string(n) + "=6\n";
    text += "[UserManual]\n";
    // Appended piece by piece rather than "L" + std::to_string(n): GCC 12 at
    // -O3 inlines that insert-at-front into a memcpy it wrongly reports as
    // overlapping (-Wrestrict), a known false positive of that compiler.
    for (int n = 1; n <= 100000; ++n) {
        const std::string number = std::to_string(n);
        text += 'L';
        text += number;
        text += "=manuals/m";
        text += number;
        text += ".pdf\n";
    }
    Write(path, text);
    LoadIniFile(path);
    ASSERT_EQ(SavedState.UnroutePoints.size(), 100000U);
    ASSERT_EQ(SavedState.UserManuals.size(), 100000U);
    EXPECT_EQ(SavedState.UserManuals.back(), "L100000=manuals/m100000.pdf");
    ASSERT_TRUE(SaveIniFile());
    EXPECT_THAT(Read(path), HasSubstr("\n100000=6\n"));
}

} // namespace
