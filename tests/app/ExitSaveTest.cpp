// The state written at exit: a state that would grow the ini past what a
// start reads is refused with a message in the window's language (none while
// the session ends), and the file is kept; other failures stay silent.
#include "app/ExitSave.h"
#include "IniFolderFixture.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "platform/VirtualHost.h"
#include "resources/StringIds.h"
#include "state/Inifile.h"

#include <gmock/gmock.h>

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class ExitSaveTest : public IniFolderTest {
  protected:
    void TearDown() override {
        SetThreadLanguage(LANG_ENGLISH);
        IniFolderTest::TearDown();
    }
    // A file one byte short of the limit that the state grows past it.
    std::string WriteNearTheLimit() {
        Write("[DeviceState]\nSelectedPoint=5\n");
        LoadIniFile(path);
        EXPECT_TRUE(SaveIniFile());
        const std::string ours = Read();
        std::string text = ";";
        text.append(MAX_INI_FILE_BYTES - 1 - ours.size() - 2, 'x');
        text += '\n';
        text += ours;
        Write(text);
        LoadIniFile(path);
        SavedState.SelectedPoint = 478;
        return text;
    }

    TVirtualHost host;
    THostInstall install{host};
};

TEST_F(ExitSaveTest, AStateThatWouldPassTheLimitIsRefusedWithAMessageInTheWindowsLanguage) {
    for (const LANGID language : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(language);
        const std::string text = WriteNearTheLimit();
        const std::size_t before = host.Messages().size();
        SaveIniFileAtExit(true);
        EXPECT_EQ(Read(), text);
        ASSERT_EQ(host.Messages().size(), before + 1);
        const std::string head = LoadStr(TEXT_STATE_TOO_LARGE);
        EXPECT_THAT(host.Messages().back(), AllOf(HasSubstr(head.substr(0, head.find("%1"))),
                                                  HasSubstr(path + " "), HasSubstr(" 4 ")));
    }
}

TEST_F(ExitSaveTest, NoBoxWhileTheSessionEndsAndNoneForAReadOnlyFile) {
    const std::string text = WriteNearTheLimit();
    SaveIniFileAtExit(false);
    EXPECT_EQ(Read(), text);

    Write("[DeviceState]\nSelectedPoint=5\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    LoadIniFile(path);
    SavedState.SelectedPoint = 7;
    SaveIniFileAtExit(true);
    EXPECT_EQ(Read(), "[DeviceState]\nSelectedPoint=5\n");
    EXPECT_THAT(host.Messages(), IsEmpty());
}

} // namespace
