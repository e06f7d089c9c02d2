// Windows built from skin text and driven as a user would.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QStyleOptionSlider>

#include "tests/ui/UiTestSupport.h"
#include "ui/Containers.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/List.h"
#include "ui/Menu.h"
#include "ui/Text.h"
#include "ui/Tray.h"

using namespace ui;
using namespace uitest;

namespace {

const char* kSkin = R"(<Window size="600,400" caption="0,0,0,30">
  <VerticalLayout name="root" bkcolor="#FF1E2127">
    <HorizontalLayout height="40" name="toolbar">
      <Button name="closebtn" width="40"/>
      <Button name="key_12" width="60" text="k"/>
      <Button name="color_option_3" width="60" bkcolor="#FFFF0000"/>
      <Button name="off_btn" width="60" enabled="false"/>
      <CheckBox name="7color" width="80" text="7"/>
    </HorizontalLayout>
    <HorizontalLayout height="40">
      <Option name="tab_a" group="tabs" bindtab="pages" bindtabindex="0" selected="true" width="80"/>
      <Option name="tab_b" group="tabs" bindtab="pages" bindtabindex="1" width="80"/>
      <Option name="solo" width="80"/>
      <Edit name="DPI_edit_0" width="100" numberonly="true" maxchar="6" minvalue="100" maxvalue="6500"/>
      <Combo name="device_profile_combo" width="120">
        <ListLabelElement text="one"/><ListLabelElement text="two"/><ListLabelElement text="three"/>
      </Combo>
    </HorizontalLayout>
    <Slider name="DPI_slider_1" height="30" min="0" max="100" value="0"/>
    <TabLayout name="pages" height="40">
      <Label name="page0" text="first"/>
      <Label name="page1" text="second"/>
    </TabLayout>
    <List name="macro_name_list" menu="true">
      <ListTextElement name="row0" text="a"/>
      <ListTextElement name="row1" text="b"/>
      <ListContainerElement name="macro_action" menu="true"><Label name="row_label" text="c" mouse="false"/></ListContainerElement>
    </List>
  </VerticalLayout>
</Window>)";

class Interaction : public ::testing::Test {
  protected:
    SkinFolder folder;
    std::unique_ptr<RecordingWnd> wnd;
    void SetUp() override {
        folder.Write("main.xml", kSkin);
        wnd = OpenWindow("main.xml");
        ASSERT_NE(wnd, nullptr);
        wnd->notes.clear();
    }
    CControlUI* C(const char* name) { return wnd->FindControl(name); }
};

}  // namespace

TEST_F(Interaction, ClicksReachTheWindowWithTheirSenders) {
    Click(C("key_12"));
    Click(C("color_option_3"));
    Click(C("off_btn"));  // disabled: nothing
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"click:key_12", "click:color_option_3"}));
    // Prefix routing works on the names as they arrive.
    auto clicks = wnd->Of("click");
    EXPECT_EQ(SplitNameRoute(clicks[0].sender).prefix, "key_");
    EXPECT_EQ(SplitNameRoute(clicks[0].sender).number, 12);
    EXPECT_EQ(SplitNameRoute(clicks[1].sender).number, 3);
}

TEST_F(Interaction, PressThenLeaveDoesNotClick) {
    CControlUI* b = C("key_12");
    Mouse(b, QEvent::MouseButtonPress, Center(b));
    Mouse(b, QEvent::MouseMove, b->GetPos().bottomRight() + QPoint(50, 50));
    Mouse(b, QEvent::MouseButtonRelease, b->GetPos().bottomRight() + QPoint(50, 50));
    EXPECT_TRUE(wnd->Of("click").empty());
}

TEST_F(Interaction, OptionsGroupsTabBindingAndSilentSelection) {
    auto* a = static_cast<COptionUI*>(C("tab_a"));
    auto* b = static_cast<COptionUI*>(C("tab_b"));
    auto* pages = static_cast<CTabLayoutUI*>(C("pages"));
    EXPECT_TRUE(a->IsSelected());
    Click(b);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ(pages->GetCurSel(), 1);
    EXPECT_FALSE(C("page0")->IsVisible());
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"click:tab_b", "selectchanged:tab_a",
                                                      "selectchanged:tab_b"}));
    wnd->notes.clear();
    Click(b);  // already selected in a group: a click, no change
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"click:tab_b"}));
    wnd->notes.clear();
    a->Selected(true, false);  // code selects without an event
    EXPECT_TRUE(wnd->Trail().empty());
    EXPECT_FALSE(b->IsSelected());
    auto* solo = static_cast<COptionUI*>(C("solo"));
    Click(solo);
    Click(solo);
    EXPECT_FALSE(solo->IsSelected());
    EXPECT_EQ(wnd->Of("selectchanged").size(), 2u);
}

TEST_F(Interaction, CheckBoxRaisesCheckClick) {
    auto* box = static_cast<CCheckBoxUI*>(C("7color"));
    Click(box);
    EXPECT_TRUE(box->GetCheck());
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"click:7color", "selectchanged:7color",
                                                      "checkclick:7color"}));
}

TEST_F(Interaction, EditTypingFocusAndRange) {
    auto* edit = static_cast<CEditUI*>(C("DPI_edit_0"));
    QLineEdit* le = edit->Edit();
    QTest::mouseClick(le, Qt::LeftButton);
    le->setFocus();
    Pump();
    QTest::keyClicks(le, "12a34567");
    EXPECT_EQ(edit->GetText(), "123456");  // digits only, six at most
    Click(C("key_12"));                    // focus moves away
    Pump();
    EXPECT_EQ(edit->GetText(), "6500");  // clamped to the range on leaving
    auto trail = wnd->Trail();
    ASSERT_FALSE(trail.empty());
    EXPECT_EQ(trail.front(), "setfocus:DPI_edit_0");
    EXPECT_EQ(std::count(trail.begin(), trail.end(), "textchanged:DPI_edit_0"), 6);
    auto kill = std::find(trail.begin(), trail.end(), "killfocus:DPI_edit_0");
    auto click = std::find(trail.begin(), trail.end(), "click:key_12");
    ASSERT_NE(kill, trail.end());
    EXPECT_LT(kill, click);
    edit->SetText("42");
    EXPECT_EQ(le->text(), "42");
}

TEST_F(Interaction, SliderDragRaisesMoveThenValue) {
    auto* slider = static_cast<CSliderUI*>(C("DPI_slider_1"));
    QSlider* s = slider->Slider();
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.subControls = QStyle::SC_All;
    QRect handle = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
    QPoint p = handle.center();
    auto send = [&](QEvent::Type t, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(t, QPointF(at), s->mapToGlobal(QPointF(at)),
                      t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(s, &e);
    };
    send(QEvent::MouseButtonPress, p, Qt::LeftButton);
    for (int dx = 40; dx <= 200; dx += 40)
        send(QEvent::MouseMove, p + QPoint(dx, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, p + QPoint(200, 0), Qt::NoButton);
    auto moves = wnd->Of("movevaluechanged");
    auto values = wnd->Of("valuechanged");
    ASSERT_GE(moves.size(), 3u);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(wnd->Trail().back(), "valuechanged:DPI_slider_1");
    EXPECT_GT(slider->GetValue(), 0);
    wnd->notes.clear();
    slider->SetValue(10);  // from code: no notification
    EXPECT_TRUE(wnd->notes.empty());
    EXPECT_EQ(s->value(), 10);
}

TEST_F(Interaction, ComboSelectionAndRemovalReselects) {
    auto* combo = static_cast<CComboUI*>(C("device_profile_combo"));
    QComboBox* qc = combo->Combo();
    ASSERT_EQ(qc->count(), 3);
    qc->setFocus();
    QTest::keyClick(qc, Qt::Key_Down);  // the user picks the next item
    Pump();
    EXPECT_EQ(combo->GetCurSel(), 0);
    QTest::keyClick(qc, Qt::Key_Down);
    Pump();
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(combo->GetText(), "two");
    ASSERT_EQ(wnd->Of("itemselect").size(), 2u);
    wnd->notes.clear();
    combo->SelectItem(2, false, false);
    EXPECT_TRUE(wnd->Of("itemselect").empty());
    combo->RemoveAt(2);  // the selected last item: the new last one is selected
    ASSERT_EQ(wnd->Of("itemselect").size(), 1u);
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(wnd->Of("itemselect")[0].w, 1u);
    combo->RemoveAt(1);
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(qc->currentText(), "one");
    EXPECT_EQ(wnd->Of("itemselect").size(), 2u);
    combo->GetItemAt(0)->SetText("renamed");
    EXPECT_EQ(qc->itemText(0), "renamed");
}

TEST_F(Interaction, ListItemsSelectClickActivateAndMenu) {
    auto* list = static_cast<CListUI*>(C("macro_name_list"));
    CControlUI* row1 = C("row1");
    Click(row1);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(wnd->Trail(),
              (std::vector<std::string>{"itemselect:macro_name_list", "itemclick:row1"}));
    wnd->notes.clear();
    CControlUI* action = C("macro_action");
    // The label inside takes no mouse input: the click belongs to the row.
    QPoint at = C("row_label")->GetPos().center();
    // What Qt delivers for a double click: press, release, double click, release.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        Mouse(action, type, at);
    Pump();
    auto trail = wnd->Trail();
    EXPECT_NE(std::find(trail.begin(), trail.end(), "itemactivate:macro_action"), trail.end());
    EXPECT_EQ(list->GetCurSel(), 2);
    wnd->notes.clear();
    QPoint local = LocalPoint(action, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, local, HostOf(action)->mapToGlobal(local));
    QApplication::sendEvent(HostOf(action), &menu);
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"menu:macro_action"}));
    wnd->notes.clear();
    list->SelectItem(0, false, false);
    EXPECT_TRUE(wnd->Trail().empty());
    list->RemoveAt(0);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(static_cast<IListItemUI*>(static_cast<CListTextElementUI*>(C("row1")))->GetIndex(),
              0);
}

TEST_F(Interaction, WindowInitOnceAndTimers) {
    SkinFolder f2;
    f2.Write("main.xml", kSkin);
    auto w = OpenWindow("main.xml");
    ASSERT_NE(w, nullptr);
    Pump(20);
    EXPECT_EQ(w->Of("windowinit").size(), 1u);
    EXPECT_EQ(w->Of("windowinit")[0].sender, "root");
    std::vector<WPARAM> windowTimers;
    w->onMessage = [&](UINT msg, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
        if (msg == WM_TIMER) {
            windowTimers.push_back(wp);
            w->KillTimer(UINT(wp));
            handled = true;
        }
        return 0;
    };
    CControlUI* item = w->FindControl("row0");
    ASSERT_TRUE(item->SetTimer(1002, 5));
    ASSERT_TRUE(w->SetTimer(1011, 5));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return w->Of("timer").size() >= 2 && !windowTimers.empty(); }, 2000));
    item->KillTimer(1002);
    EXPECT_EQ(windowTimers, (std::vector<WPARAM>{1011}));
    auto timers = w->Of("timer");
    ASSERT_GE(timers.size(), 2u);
    EXPECT_EQ(timers[0].sender, "row0");
    EXPECT_EQ(timers[0].w, 1002u);
    size_t seen = w->Of("timer").size();
    Pump(30);
    EXPECT_EQ(w->Of("timer").size(), seen);
    EXPECT_FALSE(w->GetPaintManager().HasTimer(item, 1002));
}

TEST_F(Interaction, NestedModalLoopsReturnTheirCodesAndCloseCanBeRefused) {
    folder.Write("dlg.xml",
                 "<Window size=\"200,100\"><VerticalLayout><Button "
                 "name=\"confirm_btn\"/></VerticalLayout></Window>");
    RecordingWnd outer("dlg.xml"), inner("dlg.xml");
    ASSERT_TRUE(outer.Create(wnd.get(), "outer", 0, WS_EX_TOOLWINDOW));
    ASSERT_TRUE(inner.Create(&outer, "inner", 0, WS_EX_TOOLWINDOW));
    bool refuse = true;
    outer.onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
        handled = msg == WM_CLOSE && refuse;  // the close veto
        return 0;
    };
    int innerResult = -5;
    QTimer::singleShot(10, [&] {
        QTimer::singleShot(10, [&] {
            outer.Close(7);  // refused while inner runs
            inner.Close(1);
        });
        innerResult = inner.ShowModal();
        refuse = false;
        outer.Close(3);
    });
    int outerResult = outer.ShowModal();
    EXPECT_EQ(innerResult, 1);
    EXPECT_EQ(outerResult, 3);
    EXPECT_FALSE(outer.IsWindow());
}

TEST_F(Interaction, MaximiseSwapsCaptionButtons) {
    folder.Write(
        "cap.xml",
        "<Window size=\"300,200\"><HorizontalLayout><Button name=\"maxbtn\"/>"
        "<Button name=\"restorebtn\"/><Button name=\"minbtn\"/></HorizontalLayout></Window>");
    auto w = OpenWindow("cap.xml");
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->FindControl("restorebtn")->IsVisible());
    Click(w->FindControl("maxbtn"));
    Pump(20);
    EXPECT_TRUE(w->IsMaximized());
    EXPECT_TRUE(w->FindControl("restorebtn")->IsVisible());
    EXPECT_FALSE(w->FindControl("maxbtn")->IsVisible());
    w->SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump(20);
    EXPECT_FALSE(w->IsMaximized());
    EXPECT_TRUE(w->FindControl("maxbtn")->IsVisible());
}

TEST_F(Interaction, MenuReportsTheChosenItemByName) {
    folder.Write("menu.xml",
                 "<Window size=\"160,0\"><Menu><MenuElement name=\"about_menu\" text=\"About\"/>"
                 "<MenuElement name=\"exit\" text=\"Exit\"/></Menu></Window>");
    std::vector<std::string> chosen;
    wnd->onMessage = [&](UINT msg, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
        if (msg == UIMSG_MENUCLICK) {
            chosen.push_back(TakeMenuCmd(wp)->name);
            handled = true;
        }
        return 0;
    };
    CMenuWnd* menu = CMenuWnd::ShowMenu(wnd.get(), "menu.xml", QPoint(100, 100));
    ASSERT_NE(menu, nullptr);
    Pump();
    CMenuWnd* second = CMenuWnd::ShowMenu(wnd.get(), "menu.xml", QPoint(120, 120));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(CMenuWnd::Current(), second);  // the first one was closed
    Pump();
    CControlUI* exitItem = second->FindControl("exit");
    Click(exitItem);
    Pump(10);
    EXPECT_EQ(chosen, (std::vector<std::string>{"exit"}));
    EXPECT_EQ(CMenuWnd::Current(), nullptr);
}

TEST_F(Interaction, TrayClicksArriveAsTheCallbackMessage) {
    std::vector<std::pair<WPARAM, LPARAM>> got;
    wnd->onMessage = [&](UINT msg, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
        if (msg == UIMSG_TRAYICON) got.emplace_back(wp, lp);
        handled = msg == UIMSG_TRAYICON;
        return 0;
    };
    CTrayIcon tray;
    ASSERT_TRUE(tray.Create(wnd.get(), 107, "BROMMELIVANTOS", UIMSG_TRAYICON));
    tray.OnActivated(QSystemTrayIcon::Trigger);
    tray.OnActivated(QSystemTrayIcon::Context);
    Pump();
    EXPECT_EQ(got,
              (std::vector<std::pair<WPARAM, LPARAM>>{{107, WM_LBUTTONUP}, {107, WM_RBUTTONUP}}));
}

TEST_F(Interaction, HandlerThatRemovesItsOwnButtonIsSafe) {
    wnd->AddNotifyHandler("click", [&](TNotifyUI& msg) {
        if (msg.pSender->GetName() == "key_12")
            static_cast<CContainerUI*>(msg.pSender->GetParent())->Remove(msg.pSender);
    });
    Click(C("key_12"));
    Pump(10);
    EXPECT_EQ(C("key_12"), nullptr);
    Click(C("color_option_3"));
    EXPECT_EQ(wnd->Of("click").size(), 2u);
}
