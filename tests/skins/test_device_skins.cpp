// The shipped device page and item skins: they build with the real builder,
// hold the key and light buttons of their device kind, carry the names the
// device code looks up, and every picture they or the code name exists.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "editors/CustomControls.h"
#include "hid/Catalog.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Builder.h"
#include "ui/Containers.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"
#include "ui/Xml.h"

using ui::CControlUI;

namespace {

std::string SkinFolder() {
    const char* root = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return std::string(root ? root : ".") + "/skin/";
}

std::string FilePath(std::string skinRelative) {
    for (char& c : skinRelative)
        if (c == '\\') c = '/';
    return SkinFolder() + skinRelative;
}

class DeviceSkins : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        ui::CResourceManager::Instance().SetResourcePath(SkinFolder());
        editors::RegisterCustomControls();
    }
    // Builds a skin as the program does (catalogue spelling, backslashes).
    std::unique_ptr<CControlUI> Build(const std::string& skin) {
        ui::CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(skin));
        EXPECT_NE(root, nullptr) << skin << ": " << builder.GetLastError();
        return root;
    }
    static CControlUI* Find(CControlUI* root, const std::string& name) {
        return ui::CPaintManagerUI::FindSubControlByName(root, name);
    }
};

const hid::DeviceCatalogEntry& Row(int kind) {
    return hid::DeviceCatalog()[size_t(kind)];
}

// Number after a prefix ("key_12" -> 12), or nothing.
std::optional<int> IndexAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return {};
    int value = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || value > 100000) return {};
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

struct PanelButtons {
    std::map<int, QRect> keys, lights;
    std::vector<std::string> strays;  // DeviceKeyButtons named neither way, or repeated
};

PanelButtons ButtonsOf(CControlUI* panel) {
    PanelButtons out;
    auto* box = static_cast<ui::CContainerUI*>(panel->GetInterface("Container"));
    for (int i = 0; box && i < box->GetCount(); ++i) {
        CControlUI* c = box->GetItemAt(i);
        if (c->GetClass() != "DeviceKeyButton") continue;
        const std::string& name = c->GetName();
        auto key = IndexAfter(name, "key_");
        auto light = IndexAfter(name, "light_");
        std::map<int, QRect>* list = key ? &out.keys : light ? &out.lights : nullptr;
        int index = key ? *key : light ? *light : -1;
        if (!list || !list->emplace(index, c->GetFloatPos()).second) out.strays.push_back(name);
    }
    return out;
}

std::set<int> Indexes(const std::map<int, QRect>& m) {
    std::set<int> s;
    for (const auto& [i, r] : m)
        s.insert(i);
    return s;
}

std::set<int> Range(int n) {
    std::set<int> s;
    for (int i = 0; i < n; ++i)
        s.insert(i);
    return s;
}

// What each page must hold. Kinds index the device catalogue.
struct PageCase {
    int kind;
    const char* holder;  // the container the page code binds around the picture
    std::vector<const char*> tabs;
};
const PageCase kPages[] = {
    {1,
     "keyboard_device_key_light",
     {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab"}},
    {2, "mousepad_device_key_light", {"deng_Op_tab"}},
    {3,
     "ze6533_device_key_light",
     {"deng_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
};

TEST_F(DeviceSkins, EachPageHoldsExactlyTheButtonsOfItsKindInsideItsPicture) {
    for (const PageCase& c : kPages) {
        const auto& row = Row(c.kind);
        SCOPED_TRACE(row.pageXml);
        auto page = Build(row.pageXml);
        ASSERT_NE(page, nullptr);
        CControlUI* panel = Find(page.get(), "SelectPanel");
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->GetClass(), "SelectPanel");
        EXPECT_EQ(ui::CPaintManagerUI::FindSubControlsByClass(page.get(), "SelectPanel").size(),
                  1u);
        // Buttons outside the panel are never bound.
        EXPECT_EQ(ui::CPaintManagerUI::FindSubControlsByClass(page.get(), "DeviceKeyButton").size(),
                  ui::CPaintManagerUI::FindSubControlsByClass(panel, "DeviceKeyButton").size());

        PanelButtons b = ButtonsOf(panel);
        EXPECT_TRUE(b.strays.empty()) << b.strays.front();
        EXPECT_EQ(Indexes(b.keys), Range(row.keyCount));
        EXPECT_EQ(Indexes(b.lights), Range(row.lightZoneCount));

        const QRect area(0, 0, panel->GetFixedWidth(), panel->GetFixedHeight());
        ASSERT_FALSE(area.isEmpty());
        for (const auto* list : {&b.keys, &b.lights})
            for (const auto& [i, r] : *list)
                EXPECT_TRUE(!r.isEmpty() && area.contains(r)) << i << " outside the picture";
        // Keys (and, on a page without keys, lights) never overlap; a key's
        // light lies on the key.
        const auto& own = b.keys.empty() ? b.lights : b.keys;
        for (auto a = own.begin(); a != own.end(); ++a)
            for (auto z = std::next(a); z != own.end(); ++z)
                EXPECT_FALSE(a->second.intersects(z->second)) << a->first << " and " << z->first;
        for (const auto& [i, r] : b.keys) {
            auto light = b.lights.find(i);
            EXPECT_TRUE(light == b.lights.end() || light->second == r) << "light " << i;
        }
        EXPECT_NE(Find(page.get(), c.holder), nullptr) << c.holder;
    }
}

TEST_F(DeviceSkins, TabsAreOneGroupWithTheFirstSelected) {
    std::set<std::string> groups;
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(Row(c.kind).pageXml);
        auto page = Build(Row(c.kind).pageXml);
        ASSERT_NE(page, nullptr);
        std::set<std::string> pageGroups;
        int selected = 0;
        for (const char* tab : c.tabs) {
            auto* option = dynamic_cast<ui::COptionUI*>(Find(page.get(), tab));
            ASSERT_NE(option, nullptr) << tab;
            pageGroups.insert(option->GetGroup());
            selected += option->IsSelected() ? 1 : 0;
            EXPECT_FALSE(option->GetText().empty()) << tab;
        }
        EXPECT_EQ(pageGroups.size(), 1u);
        EXPECT_FALSE(pageGroups.begin()->empty());
        EXPECT_TRUE(static_cast<ui::COptionUI*>(Find(page.get(), c.tabs[0]))->IsSelected());
        EXPECT_EQ(selected, 1);
        // Groups are window-wide: pages must not share one.
        EXPECT_TRUE(groups.insert(*pageGroups.begin()).second) << *pageGroups.begin();
    }
}

// Where the function modes of each tab land: the outer layout's item, the
// inner one's (-1 when the mode leaves it alone) and the editor area there.
struct ModeCase {
    int kind;
    const char* tab;
    int outer, inner;
    const char* area;
};
const ModeCase kModes[] = {
    {1, "deng_Op_tab", 0, 0, "light_edit_area"},
    {1, "key_Op_tab", 0, 1, "key_edit_area"},
    {1, "macro_Op_tab", 1, -1, "macro_edit_area"},
    {1, "system_Op_tab", 3, -1, "system_edit_area"},
    {2, "deng_Op_tab", 0, 0, "light_edit_area"},
    {3, "deng_Op_tab", 0, 0, "light_edit_area"},
    {3, "6533_voice_Op_tab", 0, 1, "hs_eq_area"},
    {3, "magic_Op_tab", 0, 2, "hs_voice_area"},
    {3, "Virtual7.1_Op_tab", 1, -1, "hs_virtual_area"},
};

TEST_F(DeviceSkins, EveryTabsModeShowsItsEditorArea) {
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(std::string(Row(m.kind).pageXml) + " " + m.tab);
        auto page = Build(Row(m.kind).pageXml);
        ASSERT_NE(page, nullptr);
        auto* outer = dynamic_cast<ui::CTabLayoutUI*>(Find(page.get(), "device_function_switch"));
        auto* inner =
            dynamic_cast<ui::CTabLayoutUI*>(Find(page.get(), "device_key_function_switch"));
        ASSERT_NE(outer, nullptr);
        ASSERT_NE(inner, nullptr);
        EXPECT_GE(outer->GetCount(), 4);
        EXPECT_EQ(inner->GetCount(), 3);
        EXPECT_EQ(outer->GetItemAt(0), inner);
        CControlUI* shown = m.inner >= 0 ? inner->GetItemAt(m.inner) : outer->GetItemAt(m.outer);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetName(), m.area);
        // Its caption is a translated text.
        auto* caption = Find(shown, std::string(m.area) + "_caption");
        ASSERT_NE(caption, nullptr);
        EXPECT_FALSE(caption->GetText().empty());
    }
}

TEST_F(DeviceSkins, ItemSkinsCarryTheNamedSubControls) {
    struct Named {
        const char* name;
        const char* cls;  // interface the code uses
        bool visible;
    };
    struct ItemCase {
        std::string skin;
        std::vector<Named> names;
    } cases[] = {
        {Row(0).optionXml,
         {{"device_select", "Option", true},
          {"synchro_device_select", "Option", false},
          {"device_select_name", "Label", true}}},
        {"XML\\CustomControlXML\\MpDevicePower.xml",
         {{"device_power_Layout", "Container", true},
          {"device_power_value", "Label", true},
          {"device_Power_progress", "Progress", true},
          {"device_power_status", "Label", true},
          {"device_wuxian_logo", "Label", false},
          {"device_phone_type", "Label", false}}},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(c.skin);
        auto item = Build(c.skin);
        ASSERT_NE(item, nullptr);
        for (const Named& n : c.names) {
            CControlUI* control = Find(item.get(), n.name);
            ASSERT_NE(control, nullptr) << n.name;
            EXPECT_NE(control->GetInterface(n.cls), nullptr) << n.name << " is no " << n.cls;
            EXPECT_EQ(control->IsVisible(), n.visible) << n.name;
        }
    }
    // The battery figures sit inside the battery area, which code hides as a whole.
    auto power = Build("XML\\CustomControlXML\\MpDevicePower.xml");
    ASSERT_NE(power, nullptr);
    CControlUI* battery = Find(power.get(), "device_power_Layout");
    for (const char* inside :
         {"device_power_value", "device_Power_progress", "device_power_status"})
        EXPECT_NE(Find(battery, inside), nullptr) << inside;
    // The selector button fills the item at the size its pictures are drawn for.
    auto option = Build(Row(0).optionXml);
    ASSERT_NE(option, nullptr);
    CControlUI* select = Find(option.get(), "device_select");
    EXPECT_EQ(QSize(select->GetFixedWidth(), select->GetFixedHeight()), QSize(196, 56));
}

// Every attribute of a skin whose name ends in "image", with its element.
void CollectImages(const ui::XmlNode& node, std::vector<std::string>& out) {
    for (const auto& [key, value] : node.attrs)
        if (key.size() >= 5 && key.compare(key.size() - 5, 5, "image") == 0 && !value.empty())
            out.push_back(value);
    for (const ui::XmlNode& child : node.children)
        CollectImages(child, out);
}

bool PictureLoads(const std::string& skinRelative) {
    QImage img(QString::fromStdString(FilePath(skinRelative)));
    return !img.isNull();
}

TEST_F(DeviceSkins, EveryPictureTheSkinsOrTheCodeNameExists) {
    std::vector<std::string> skins = {Row(0).optionXml, "XML\\CustomControlXML\\MpDevicePower.xml"};
    for (const PageCase& c : kPages)
        skins.push_back(Row(c.kind).pageXml);
    for (const std::string& skin : skins) {
        ui::XmlNode root;
        std::string error;
        ASSERT_TRUE(ui::ParseXmlFile(FilePath(skin), root, &error)) << skin << ": " << error;
        std::vector<std::string> images;
        CollectImages(root, images);
        EXPECT_FALSE(images.empty()) << skin;
        for (const std::string& image : images) {
            const std::string file = ui::ImageStringFile(image);
            EXPECT_TRUE(!file.empty() && PictureLoads(file)) << skin << ": " << image;
        }
    }
    // Pictures the selector and power items set from code.
    std::vector<std::string> pictures = {"power/powered.png",
                                         "power/powering.png",
                                         "power/power.png",
                                         "power/Phone_type_iphone.png",
                                         "power/Phone_type_samsung.png",
                                         "power/Phone_type_other.png",
                                         "power/Phone_type_no_device.png",
                                         "power/wireless.png"};
    for (const char* base : {"kb_device", "ms_device", "hard_mp_device", "soft_mp_device",
                             "hd_device", "hub_device", "unknow_device"})
        for (const char* state : {"_normal", "_selected", "_synchro_selected", "_synchro_normal"})
            pictures.push_back(std::string("common/device_ico/") + base + state + ".png");
    for (const std::string& p : pictures)
        EXPECT_TRUE(PictureLoads(p)) << p;
}

// Language keys of the skins' texts exist in both language files.
void CollectTextKeys(const ui::XmlNode& node, std::set<std::string>& out) {
    const std::string* res = node.Attr("restext");
    const std::string* text = node.Attr("text");
    if (res && *res == "true" && text && !text->empty()) out.insert(*text);
    for (const ui::XmlNode& child : node.children)
        CollectTextKeys(child, out);
}

TEST_F(DeviceSkins, TranslatedTextsHaveBothLanguages) {
    std::set<std::string> keys;
    std::vector<std::string> skins = {Row(0).optionXml, "XML\\CustomControlXML\\MpDevicePower.xml"};
    for (const PageCase& c : kPages)
        skins.push_back(Row(c.kind).pageXml);
    for (const std::string& skin : skins) {
        ui::XmlNode root;
        ASSERT_TRUE(ui::ParseXmlFile(FilePath(skin), root)) << skin;
        CollectTextKeys(root, keys);
    }
    ASSERT_GE(keys.size(), 10u);
    for (const char* lan : {"lan_en.xml", "lan_cn.xml"}) {
        ui::XmlNode root;
        ASSERT_TRUE(ui::ParseXmlFile(SkinFolder() + lan, root)) << lan;
        std::set<std::string> have;
        for (const ui::XmlNode& t : root.children)
            if (const std::string* k = t.Attr("key")) have.insert(*k);
        for (const std::string& k : keys)
            EXPECT_TRUE(have.count(k)) << lan << " lacks " << k;
    }
}

}  // namespace
