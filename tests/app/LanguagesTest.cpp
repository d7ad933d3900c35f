// The language list, the first language, and switching both threads' language
// from the language box.
#include "MainWindowFixture.h"

#include "app/Languages.h"
#include "device/Deviceioemulation.h"
#include "hints/Hints.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (const int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

auto Item(const std::string& name, LANGID id) {
    return ::testing::AllOf(Field(&TLanguageItem::Name, name), Field(&TLanguageItem::Id, id));
}

TEST(LanguageList, ShippedResourceOffersEnglishThenRussian) {
    const auto list = FindResource("LANGUAGE_LIST");
    ASSERT_TRUE(list);
    EXPECT_THAT(ReadLanguageList(*list), ElementsAre(Item("ENG", 0x0409), Item("RUS", 0x0419)));
}

TEST(LanguageList, EmptyNamesAreAbbreviatedAndDamagedRecordsEndWithTheData) {
    const auto named = Bytes({0x19, 0x04, 0, 0x07, 0x04, 0, 0x81, 0x04, 0});
    EXPECT_THAT(ReadLanguageList(named),
                ElementsAre(Item("RUS", 0x0419), Item("DEU", 0x0407), Item("0x0481", 0x0481)));
    // A name without its zero byte ends with the data; a lone byte is no LANGID.
    const auto cut = Bytes({0x07, 0x04, 'D', 'E'});
    EXPECT_THAT(ReadLanguageList(cut), ElementsAre(Item("DE", 0x0407)));
    const auto odd = Bytes({0x09, 0x04, 'A', 0, 0x19});
    EXPECT_THAT(ReadLanguageList(odd), ElementsAre(Item("A", 0x0409)));
}

struct StartCase {
    const char* saved;
    uint32_t locale;
    std::size_t expected;
};

class StartLanguage : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartLanguage, SavedNameThenThreadLocaleThenFirst) {
    const std::vector<TLanguageItem> items{{"ENG", 0x0409}, {"RUS", 0x0419}};
    EXPECT_EQ(ChooseStartLanguage(items, GetParam().saved, GetParam().locale), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartLanguage,
                         ::testing::Values(StartCase{"rus", 0x0409, 1}, StartCase{"ENG", 0x0419, 0},
                                           StartCase{"", 0x0419, 1}, StartCase{"DEU", 0x0407, 0},
                                           // A locale with another sort order is not the language.
                                           StartCase{"", 0x00010419, 0}),
                         [](const auto& instance) {
                             return "Saved" +
                                    std::string(*instance.param.saved ? instance.param.saved : "None") +
                                    "Locale" + std::to_string(instance.param.locale);
                         });

class WindowLanguage : public MainWindowTest {
  protected:
    QComboBox* Box() { return dynamic_cast<QComboBox*>(Child("ComboBoxLanguage")); }
    void Choose(const char* name) {
        Box()->setCurrentIndex(Box()->findText(QLatin1String(name)));
        host.RunUntilIdle();
    }
    void ExpectWindowIn(LANGID language) {
        EXPECT_EQ(GetThreadLanguage(), language);
        EXPECT_EQ(window->windowTitle().toStdString(), TextIn(language, 300));
        EXPECT_EQ(dynamic_cast<QLabel*>(Child("LabelLanguage"))->text().toStdString(), TextIn(language, 301));
        EXPECT_EQ(dynamic_cast<QToolButton*>(Child("ToolButtonExit"))->text().toStdString(),
                  TextIn(language, 307));
        EXPECT_EQ(dynamic_cast<QLabel*>(Child("StatusText"))->text().toStdString(), TextIn(language, 308));
    }
};

TEST_F(WindowLanguage, ASavedNameIsFoundWhateverItsCase) {
    SavedState.LanguageName = "rus";
    Open();
    EXPECT_EQ(Box()->currentText(), "RUS");
    EXPECT_EQ(SavedState.LanguageName, "RUS");
    ExpectWindowIn(LANG_RUSSIAN);
}

TEST_F(WindowLanguage, WithoutASavedNameTheThreadsLanguageDecides) {
    SetThreadLanguage(LANG_RUSSIAN);
    Open();
    EXPECT_EQ(Box()->currentText(), "RUS");
    window.reset();
    SavedState.LanguageName = "Klingon";
    SetThreadLanguage(0x0407);
    Open();
    EXPECT_EQ(Box()->currentText(), "ENG");
    ExpectWindowIn(LANG_ENGLISH);
}

TEST_F(WindowLanguage, SwitchingWhileOffRedrawsThePowerOnHintAtOnce) {
    Open();
    const QImage englishBalloon = Picture("ImageHintK1");
    Choose("RUS");
    ExpectWindowIn(LANG_RUSSIAN);
    EXPECT_EQ(SavedState.LanguageName, "RUS");
    EXPECT_THAT(g_Device->GetHintK1(), HasSubstr(TextIn(LANG_RUSSIAN, HINT_SHORT_CLICK)));
    EXPECT_NE(Picture("ImageHintK1"), englishBalloon);
    Choose("ENG");
    EXPECT_EQ(Picture("ImageHintK1"), englishBalloon);
}

TEST_F(WindowLanguage, SwitchingWhileOnRedrawsTheScreenWhereItIs) {
    Open();
    PowerOn();
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    const int16_t point = MenuState.SelectedPoint;
    const std::string englishK1 = g_Device->GetHintK1();
    const QImage englishLcd = Picture("ImageDeviceScreen");
    Choose("RUS");
    EXPECT_EQ(MenuState.SelectedPoint, point);
    EXPECT_EQ(MenuState.MenuItem, ITEM_MACHINES);
    EXPECT_NE(g_Device->GetHintK1(), englishK1);
    EXPECT_THAT(g_Device->GetHintK1(), HasSubstr(TextIn(LANG_RUSSIAN, HINT_SHORT_CLICK)));
    EXPECT_NE(Picture("ImageDeviceScreen"), englishLcd);
    ExpectWindowIn(LANG_RUSSIAN);
    // The device took the language too: its own texts come in Russian.
    EXPECT_THAT(g_ScreenHints.FindScreenHint(10, 3), TextIn(LANG_RUSSIAN, TIP_MACHINE_NAME));
}

TEST_F(WindowLanguage, WithoutALanguageListTheWindowSaysSoAndStillWorks) {
    TResourceOverride missing("LANGUAGE_LIST", std::nullopt);
    Open();
    EXPECT_EQ(Box()->count(), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_THAT(host.Messages()[0], HasSubstr("LANGUAGE_LIST"));
    ExpectWindowIn(LANG_ENGLISH);
    EXPECT_THAT(g_Device->GetHintK1(), HasSubstr("Device Power On"));
    PowerOn();
}

// What Qt's own open dialog shows: its "Look in:" label and the text of its
// Cancel button.
std::pair<QString, QString> FileDialogTexts(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!lookIn || !buttons || !buttons->button(QDialogButtonBox::Cancel)) return {};
    return {lookIn->text(), buttons->button(QDialogButtonBox::Cancel)->text()};
}

TEST_F(WindowLanguage, QtsOwnDialogsFollowTheLanguageBothWays) {
    const std::pair<QString, QString> english{QStringLiteral("Look in:"), QStringLiteral("Cancel")};
    Open();
    ASSERT_EQ(FileDialogTexts(window.get()), english);
    Choose("RUS");
    const auto russian = FileDialogTexts(window.get());
    EXPECT_NE(russian.first, english.first);
    EXPECT_NE(russian.second, english.second);
    EXPECT_TRUE(russian.second.contains(QChar(0x41E)))
        << "Cancel in Cyrillic: " << russian.second.toStdString();
    Choose("ENG");
    EXPECT_EQ(FileDialogTexts(window.get()), english);
    Choose("RUS");
    window.reset();
    EXPECT_EQ(FileDialogTexts(nullptr), english) << "the translation goes with the window";
}

} // namespace
