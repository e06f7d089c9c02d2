// Skins, lookup, language texts, DPI and the other pieces that need no user input.
#include <gtest/gtest.h>

#include "platform/Debug.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Containers.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"
#include "ui/Fonts.h"
#include "ui/InputControls.h"
#include "ui/Text.h"

using namespace ui;
using uitest::SkinFolder;

TEST(UiText, NameRouteSplitsAtLastUnderscore) {
    struct Case {
        const char* name;
        const char* prefix;
        int number;
    } cases[] = {
        {"key_12", "key_", 12},
        {"color_option_3", "color_option_", 3},
        {"DPI_slider_x", "DPI_slider_", 0},
        {"closebtn", "", 0},
        {"light_007", "light_", 7},
        {"trailing_", "trailing_", 0},
    };
    for (const Case& c : cases) {
        NameRoute r = SplitNameRoute(c.name);
        EXPECT_EQ(r.prefix, c.prefix) << c.name;
        EXPECT_EQ(r.number, c.number) << c.name;
    }
}

TEST(UiText, ColoursAndLists) {
    EXPECT_EQ(ParseColor("#FF112233"), 0xFF112233u);
    EXPECT_EQ(ParseColor("#112233"), 0xFF112233u);
    EXPECT_EQ(ParseColor("0x80FFFFFF"), 0x80FFFFFFu);
    EXPECT_EQ(ParseColor("255"), 255u);
    EXPECT_EQ(ParseColor("#zz"), 0u);
    EXPECT_EQ(ParseIntList("1,2", 4), (std::vector<int>{1, 2, 0, 0}));
    EXPECT_EQ(ParseInt("  42px"), 42);
    EXPECT_EQ(ParseInt("abc", -1), -1);
}

TEST(UiText, FileFilters) {
    EXPECT_EQ(ToQtFilter("Profile Files(*.json)|*.json;"), "Profile Files(*.json)");
    EXPECT_EQ(ToQtFilter("(*.png) | *.png |(*.*)|*.*||"), "(*.png);;(*.*)");
    EXPECT_EQ(ToQtFilter("Images|*.png;*.jpg|"), "Images (*.png *.jpg)");
}

class BuilderTest : public ::testing::Test {
  protected:
    SkinFolder folder;
    QWidget host;  // outlives the controls' widgets
    CPaintManagerUI pm;
    void SetUp() override { pm.Init(nullptr, &host); }
};

struct Callback : IDialogBuilderCallback {
    std::vector<std::string> asked;
    std::function<CControlUI*(const char*)> make;
    CControlUI* CreateControl(const char* name) override {
        asked.push_back(name);
        return make ? make(name) : nullptr;
    }
};

class CFactoryOnlyUI : public CLabelUI {
  public:
    std::string_view GetClass() const override { return "FactoryOnly"; }
};

TEST_F(BuilderTest, ResolutionOrderAndPlaceholderAttributes) {
    CControlFactory::Instance().RegisterControl("CFactoryOnlyUI",
                                                [] { return new CFactoryOnlyUI(); });
    folder.Write("XML\\Part.xml",
                 "<HorizontalLayout name=\"part_root\"><Label name=\"inner\"/></HorizontalLayout>");
    folder.Write("XML/Part.xml",
                 "<HorizontalLayout name=\"part_root\" width=\"10\"><Label "
                 "name=\"inner\"/></HorizontalLayout>");
    Callback cb;
    cb.make = [&](const char* name) -> CControlUI* {
        if (std::string(name) == "PartUI")
            return CDialogBuilder().Create("XML\\Part.xml", &cb, &pm);
        return nullptr;
    };
    CDialogBuilder b;
    CControlUI* root = b.CreateFromString(
        "<Window size=\"300,200\"><VerticalLayout name=\"root\">"
        "<Button name=\"ok\"/><PartUI name=\"PartItem\" height=\"40\"/><FactoryOnly name=\"f\"/>"
        "</VerticalLayout></Window>",
        &cb, &pm);
    ASSERT_NE(root, nullptr) << b.GetLastError();
    std::unique_ptr<CControlUI> own(root);
    // Standard classes never reach the callback; unknown names reach it before the factory.
    EXPECT_EQ(cb.asked, (std::vector<std::string>{"PartUI", "FactoryOnly"}));
    CControlUI* part = CPaintManagerUI::FindSubControlByName(root, "partitem");
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetClass(), "HorizontalLayout");
    EXPECT_EQ(part->GetFixedHeight(), 40);
    EXPECT_EQ(part->GetFixedWidth(), 10);
    EXPECT_NE(CPaintManagerUI::FindSubControlByName(part, "INNER"), nullptr);
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(root, "f")->GetClass(), "FactoryOnly");
    EXPECT_EQ(pm.GetInitSize(), QSize(300, 200));
}

TEST_F(BuilderTest, FailuresComeBackAsNull) {
    const char* bad[] = {
        "<Window><VerticalLayout><NoSuchThing/></VerticalLayout></Window>",
        "<Window><VerticalLayout><Label></VerticalLayout></Window>",
        "<Window size=\"1,1\"></Window>",
        "<Window><Label><Button/></Label></Window>",
    };
    for (const char* xml : bad) {
        CDialogBuilder b;
        EXPECT_EQ(b.CreateFromString(xml, nullptr, &pm), nullptr) << xml;
        EXPECT_FALSE(b.GetLastError().empty());
    }
    CDialogBuilder b;
    EXPECT_EQ(b.Create("XML\\missing.xml", nullptr, &pm), nullptr);
    std::string deep;
    for (int i = 0; i < 80; ++i)
        deep += "<VerticalLayout>";
    for (int i = 0; i < 80; ++i)
        deep += "</VerticalLayout>";
    EXPECT_EQ(CDialogBuilder().CreateFromString(deep, nullptr, &pm), nullptr);
}

TEST_F(BuilderTest, DefaultsStylesAndIndexEntries) {
    folder.Write("res.xml",
                 "<Resources><Entry name=\"XML_MAIN\" file=\"XML\\main.xml\"/></Resources>");
    folder.Write("XML/main.xml",
                 "<Window size=\"200,100\">"
                 "<Default class=\"Label\" textcolor=\"#FF010203\" font=\"2\"/>"
                 "<Style name=\"warn_style\" textcolor=\"#FFFF0000\"/>"
                 "<VerticalLayout><Label name=\"a\"/><Label name=\"b\" style=\"warn_style\"/>"
                 "<Label name=\"c\" style=\"warn_style\" "
                 "textcolor=\"#FF00FF00\"/></VerticalLayout></Window>");
    ASSERT_TRUE(CResourceManager::Instance().LoadResource());
    std::unique_ptr<CControlUI> root(CDialogBuilder().Create("XML_MAIN", nullptr, &pm));
    ASSERT_NE(root, nullptr);
    auto color = [&](const char* n) {
        return CPaintManagerUI::FindSubControlByName(root.get(), n)->GetTextColor();
    };
    EXPECT_EQ(color("a"), 0xFF010203u);
    EXPECT_EQ(color("b"), 0xFFFF0000u);
    EXPECT_EQ(color("c"), 0xFF00FF00u);  // later attributes win over the style
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(root.get(), "a")->GetFont(), 2);
}

TEST_F(BuilderTest, LookupIsCaseInsensitiveScopedAndByClass) {
    std::unique_ptr<CControlUI> root(CDialogBuilder().CreateFromString(
        "<VerticalLayout name=\"root\">"
        "<HorizontalLayout name=\"page_a\"><Label name=\"text_test\" text=\"A\"/><Button "
        "name=\"key_0\"/></HorizontalLayout>"
        "<HorizontalLayout name=\"page_b\"><Label name=\"TEXT_TEST\" text=\"B\"/><Button "
        "name=\"key_0\"/><Button name=\"key_1\"/></HorizontalLayout>"
        "</VerticalLayout>",
        nullptr, &pm));
    ASSERT_NE(root, nullptr);
    CControlUI* pageB = CPaintManagerUI::FindSubControlByName(root.get(), "PAGE_B");
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(root.get(), "Text_Test")->GetText(), "A");
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(pageB, "text_test")->GetText(), "B");
    EXPECT_EQ(CPaintManagerUI::FindSubControlsByClass(pageB, "Button").size(), 2u);
    EXPECT_EQ(CPaintManagerUI::FindSubControlsByClass(root.get(), "button").size(), 3u);
    EXPECT_EQ(CPaintManagerUI::FindSubControlByClass(pageB, "Button", 1)->GetName(), "key_1");
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(pageB, "nothing"), nullptr);
}

TEST_F(BuilderTest, MissingRequiredControlWritesItsTraceAndCarriesOn) {
    std::vector<std::string> lines;
    platform::SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    std::unique_ptr<CControlUI> root(
        CDialogBuilder().CreateFromString("<VerticalLayout/>", nullptr, &pm));
    EXPECT_EQ(FindRequired(root.get(), "music_r_slider", "GetAudioLightInfo control is NULL"),
              nullptr);
    platform::SetDebugSink(nullptr);
    EXPECT_EQ(lines, (std::vector<std::string>{"GetAudioLightInfo control is NULL"}));
}

TEST_F(BuilderTest, LanguageKeysTranslateAndReload) {
    folder.Write("lan_en.xml",
                 "<Language name=\"English\"><Text key=\"message_text_16\">%d keys</Text>"
                 "<Text key=\"Repeat_input_text\" value=\"Type here\"/></Language>");
    folder.Write(
        "lan_de.xml",
        "<Language name=\"Deutsch\"><Text key=\"message_text_16\">%d Tasten</Text></Language>");
    ASSERT_TRUE(CResourceManager::Instance().LoadLanguage("lan_en.xml"));
    EXPECT_EQ(CResourceManager::Instance().GetLanguage(), "English");
    std::unique_ptr<CControlUI> root(CDialogBuilder().CreateFromString(
        "<VerticalLayout><Label name=\"text_test\" restext=\"true\" visible=\"false\"/>"
        "<Label name=\"plain\" text=\"message_text_16\"/></VerticalLayout>",
        nullptr, &pm));
    ASSERT_NE(root, nullptr);
    pm.AttachDialog(root.release());
    CControlUI* probe = pm.FindControl("text_test");
    // The text_test idiom: set a key, read the translation back.
    probe->SetText("message_text_16");
    EXPECT_EQ(probe->GetText(), "%d keys");
    probe->SetText("UpdateIsLastText 2024-01-01");
    EXPECT_EQ(probe->GetText(), "UpdateIsLastText 2024-01-01");
    EXPECT_EQ(pm.FindControl("plain")->GetText(), "message_text_16");
    probe->SetText("message_text_16");
    ASSERT_TRUE(CResourceManager::Instance().LoadLanguage("lan_de.xml"));
    CResourceManager::Instance().ReloadText();
    EXPECT_EQ(probe->GetText(), "%d Tasten");
    EXPECT_EQ(probe->GetTextKey(), "message_text_16");
    EXPECT_FALSE(CResourceManager::Instance().LoadLanguage("missing.xml"));
    EXPECT_EQ(probe->GetText(), "%d Tasten");
}

TEST_F(BuilderTest, DpiScalesLayoutAndFallsBackOnBadValues) {
    std::unique_ptr<CControlUI> owned(CDialogBuilder().CreateFromString(
        "<VerticalLayout inset=\"10,10,10,10\" childpadding=\"4\">"
        "<Button name=\"a\" height=\"30\" width=\"100\" padding=\"0,2,0,0\"/><Label "
        "name=\"b\"/></VerticalLayout>",
        nullptr, &pm));
    ASSERT_NE(owned, nullptr);
    pm.AttachDialog(owned.release());
    host.resize(400, 300);
    struct Case {
        int dpi;
        int applied;
        bool valid;
    } cases[] = {
        {96, 96, true}, {144, 144, true}, {100, 96, false}, {216, 96, false}, {48, 48, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(pm.SetDPI(c.dpi), c.valid) << c.dpi;
        EXPECT_EQ(pm.GetDPI(), c.applied);
        pm.DoLayout();
        double f = c.applied / 96.0;
        QRect a = pm.FindControl("a")->GetPos();
        EXPECT_EQ(
            a, QRect(int(10 * f + 0.5), int(12 * f + 0.5), int(100 * f + 0.5), int(30 * f + 0.5)))
            << c.dpi;
        QRect b = pm.FindControl("b")->GetPos();
        EXPECT_EQ(b.top(), a.bottom() + 1 + pm.ScaleValue(4)) << c.dpi;
        EXPECT_EQ(b.bottom(), 300 - 1 - pm.ScaleValue(10)) << c.dpi;
    }
    CFontTable::Instance().LoadStandardTable("");
    EXPECT_EQ(CFontTable::Instance().GetFont(3, 144).pixelSize(), 45);
    EXPECT_EQ(CFontTable::Instance().GetFont(-1, 96).pixelSize(), 14);
    EXPECT_TRUE(CFontTable::Instance().GetFont(50, 96).bold());
    EXPECT_TRUE(CFontTable::Instance().GetFont(1, 96).underline());
}

TEST(UiMessages, RegisteredNumbersAreStablePerName) {
    UINT a = RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
    UINT b = RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(b, 0xFFFFu);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterWindowMessage("UWM_MOUSERBUTTONDOWN_USER_MSG"),
              RegisterWindowMessage("UWM_MOUSERBUTTONDOWN_USER_MSG"));
    EXPECT_EQ(RegisteredMessageName(a), "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST(UiXml, OversizedAndTruncatedInputIsRefused) {
    XmlNode root;
    std::string err;
    EXPECT_FALSE(ParseXml("<a><b></a>", root, &err));
    EXPECT_FALSE(ParseXml("", root, &err));
    EXPECT_FALSE(ParseXml(std::string(kMaxXmlBytes + 1, ' '), root, &err));
    EXPECT_TRUE(ParseXml("<a x=\"1\"><b>t</b></a>", root, &err));
    EXPECT_EQ(root.children.at(0).text, "t");
    EXPECT_EQ(root.AttrOr("X"), "1");
}
