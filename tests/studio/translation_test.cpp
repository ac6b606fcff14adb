// zorstudio's texts in the student's language: the catalogue the build compiled, chosen
// from the environment as gettext does, complete for every text the program shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/studio/ScopedEnv.h"
#include "tests/support/FullDescriptorTable.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/DebugSession.h"
#include "tools/zorstudio/PaneLayout.h"
#include "tools/zorstudio/SourceDocument.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioCommands.h"
#include "zorkit/platform/core/Gbk.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::Tr;

class TranslationTest : public ::testing::Test {
protected:
    // Back to English for the tests that follow, whatever the environment says.
    void TearDown() override
    {
        ScopedEnv language("LANGUAGE", nullptr), all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr),
            lang("LANG", nullptr);
        zorstudio::LoadTranslation();
    }
    ScopedEnv m_language{"LANGUAGE", nullptr}, m_all{"LC_ALL", nullptr}, m_messages{"LC_MESSAGES", nullptr};
};

TEST_F(TranslationTest, TheLanguageComesFromTheEnvironmentAsUsual)
{
    {
        ScopedEnv lang("LANG", "zh_CN.UTF-8");
        ASSERT_TRUE(zorstudio::LoadTranslation()) << "the build's zh_CN catalogue";
        EXPECT_EQ(zorstudio::TranslationLanguage(), "zh_CN") << "the codeset is dropped to find it";
        EXPECT_EQ(Tr("stopped at {1}", {"0123"}), "停在 0123");
        EXPECT_EQ(Tr("a text no catalogue has"), "a text no catalogue has");
        {
            ScopedEnv list("LANGUAGE", "fr:en_GB:zh_CN");
            ASSERT_TRUE(zorstudio::LoadTranslation());
            EXPECT_EQ(zorstudio::TranslationLanguage(), "en") << "LANGUAGE comes first, its first catalogue found";
            EXPECT_EQ(Tr("stopped at {1}", {"0123"}), "stopped at 0123");
        }
        {
            ScopedEnv all("LC_ALL", "C");
            EXPECT_FALSE(zorstudio::LoadTranslation()) << "LC_ALL=C says English over LANG";
            EXPECT_EQ(zorstudio::TranslationLanguage(), "");
        }
    }
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_FALSE(zorstudio::LoadTranslation()) << "no German catalogue: English";
    EXPECT_EQ(Tr("stopped at {1}", {"0123"}), "stopped at 0123");
}

TEST_F(TranslationTest, EveryTextThePanesMenusAndButtonsShowIsTranslatedInChinese)
{
    ScopedEnv lang("LANG", "zh_CN.UTF-8");
    ASSERT_TRUE(zorstudio::LoadTranslation());
    std::vector<std::string> texts;
    for (const zorstudio::CStudioCommand& command : zorstudio::StudioCommands())
        for (const char* text : {command.menu, command.item, command.button})
            if (text)
                texts.push_back(text);
    for (const zorstudio::CPaneSlot& slot : zorstudio::PaneSlots())
        if (slot.tab)
            texts.push_back(slot.tab);
    for (zorstudio::LinkState state : {zorstudio::LinkState::Closed, zorstudio::LinkState::Unconnected,
                                       zorstudio::LinkState::Connected, zorstudio::LinkState::Running,
                                       zorstudio::LinkState::RunningFree, zorstudio::LinkState::WaitingForReset,
                                       zorstudio::LinkState::Experiment, zorstudio::LinkState::AdapterGone})
        texts.push_back(zorstudio::LinkStateName(state));
    ASSERT_GT(texts.size(), 50u);
    for (const std::string& text : texts) {
        const std::string translated = Tr(text.c_str());
        EXPECT_NE(translated, text) << "untranslated: " << text;
        EXPECT_EQ(zorkit::Utf8FromGbk(zorkit::GbkFromUtf8(translated)), translated) << "GBK cannot show: " << translated;
    }
    // A menu's title keeps its access letter, and the menus are built in Chinese.
    const auto menus = zorstudio::StudioMenus();
    ASSERT_FALSE(menus.empty());
    EXPECT_EQ(menus.front().title, zorkit::GbkFromUtf8("文件(F)"));
    EXPECT_EQ(menus.front().accessKey, 'F');
}

TEST_F(TranslationTest, AFileThatIsNoCatalogueIsRefusedAndTheCatalogueInUseStays)
{
    {
        ScopedEnv lang("LANG", "zh_CN");
        ASSERT_TRUE(zorstudio::LoadTranslation());
    }
    const std::filesystem::path built = std::filesystem::path(ZORSTUDIO_TEST_LOCALEDIR) / "zh_CN/LC_MESSAGES/zorstudio.mo";
    const std::string whole = TempDir::Read(built.string());
    ASSERT_GT(whole.size(), 1000u);
    const auto messages = zorstudio::ReadCatalogue(built);
    ASSERT_TRUE(messages);
    EXPECT_EQ(messages->at("ready"), "就绪");
    EXPECT_EQ(messages->count(""), 0u) << "the header is no message";

    TempDir scratch;
    std::filesystem::create_directories(scratch.Path() / "xx/LC_MESSAGES");
    std::filesystem::create_directories(scratch.Path() / "yy/LC_MESSAGES");
    scratch.Write("xx/LC_MESSAGES/zorstudio.mo", "not a catalogue at all");
    // Cut short, its tables point past its end.
    scratch.Write("yy/LC_MESSAGES/zorstudio.mo", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(zorstudio::LoadTranslation(scratch.Path(), "xx"));
    EXPECT_FALSE(zorstudio::LoadTranslation(scratch.Path(), "yy"));
    EXPECT_FALSE(zorstudio::LoadTranslation(scratch.Path(), "zz")) << "no file";
    EXPECT_EQ(zorstudio::TranslationLanguage(), "zh_CN");
    EXPECT_EQ(Tr("ready"), "就绪") << "a failed load keeps the catalogue in use";
}

// The system's reason for a failure is in the student's language, from a save and from
// a virtual board that cannot get a pseudo-terminal.
TEST_F(TranslationTest, TheSystemsReasonsAreInChineseToo)
{
    ScopedEnv lang("LANG", "zh_CN.UTF-8");
    ASSERT_TRUE(zorstudio::LoadTranslation());
    TempDir scratch;
    const std::filesystem::path absent = scratch.Path() / "absent" / "lab.asm";
    EXPECT_EQ(zorstudio::CSourceDocument().WriteCopy(absent), "无法保存 " + absent.string() + "：没有那个文件或目录");

#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the undefined-behaviour sanitizer checks a new object's type through a pipe, which a full "
                    "descriptor table refuses; PseudoTerminalFailureTest covers the full table in this build";
#endif
    zorstudio::CDebugSession session;
    {
        FullDescriptorTable full;
        EXPECT_FALSE(session.Open({}));
    }
    EXPECT_EQ(session.LastError(), "虚拟实验箱无法启动：打开的文件太多");
    ASSERT_TRUE(session.Open({})) << session.LastError();
}

}
}
