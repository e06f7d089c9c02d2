// The program's own controls, built from skins and painted offscreen.
#include <gtest/gtest.h>

#include <cmath>

#include "editors/CustomControls.h"
#include "tests/ui/UiTestSupport.h"

using namespace ui;
using namespace uitest;
using namespace editors;

namespace {

class Editors : public ::testing::Test {
  protected:
    SkinFolder folder;
    std::unique_ptr<RecordingWnd> wnd;
    void SetUp() override {
        RegisterCustomControls();
        folder.Image("red.png", 8, 8, QColor(255, 0, 0));
        folder.Image("blue.png", 8, 8, QColor(0, 0, 255));
        folder.Image("white.png", 8, 8, QColor(255, 255, 255));
        QImage ramp(300, 50, QImage::Format_ARGB32);
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 50; ++y)
                ramp.setPixel(x, y, qRgb(x / 2, 0, 0));
        ramp.save(QString::fromStdString(folder.Path() + "ramp.png"));
    }
    RecordingWnd* Open(const std::string& body, int w = 600, int h = 400) {
        folder.Write("e.xml", "<Window size=\"" + std::to_string(w) + "," + std::to_string(h) +
                                  "\"><VerticalLayout name=\"root\" bkcolor=\"#FF000000\">" + body +
                                  "</VerticalLayout></Window>");
        wnd = OpenWindow("e.xml");
        if (wnd) wnd->notes.clear();
        return wnd.get();
    }
    CControlUI* C(const char* name) { return wnd->FindControl(name); }
    // The window as painted, in window coordinates.
    QImage Shot() { return wnd->GetHWND()->grab().toImage(); }
};

QRgb At(const QImage& img, QPoint p) {
    return img.pixel(p);
}

QPoint OnCircle(QPoint c, double radius, double degreesClockwiseFromRight) {
    double a = degreesClockwiseFromRight * M_PI / 180.0;
    return QPoint(int(std::lround(c.x() + radius * std::cos(a))),
                  int(std::lround(c.y() + radius * std::sin(a))));
}

}  // namespace

TEST_F(Editors, FactoryKnowsEveryClassUnderBothNames) {
    struct Case {
        const char* factory;
        const char* element;
        const char* cls;
    } cases[] = {
        {"CCircleProgressUI", "CircleProgress", "CircleProgress"},
        {"CDeviceKeyButtonUI", "DeviceKeyButton", "DeviceKeyButton"},
        {"CSelectPanelUI", "SelectPanel", "SelectPanel"},
        {"CHandImgButtonUI", "HandImgButton", "HandImgButton"},
        {"CHandImgSelectButtonUI", "HandImgSelectButton", "HandImgSelectButton"},
        {"CRedioMacroButtonUI", "RedioMacroButton", "RedioMacroButton"},
        {"CAudioRecordUI", "AudioRecord", "AudioRecord"},
        {"CComboEditContainerElementUI", "ComboEditContainerElement", "ComboEditContainerElement"},
        {"CChartViewUI", "ChartView", "Control"},
        {"CWndUI", "Wnd", "Wnd"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CControlUI> a(CControlFactory::Instance().CreateControl(c.factory));
        std::unique_ptr<CControlUI> b(CControlFactory::Instance().CreateControl(c.element));
        ASSERT_NE(a, nullptr) << c.factory;
        ASSERT_NE(b, nullptr) << c.element;
        EXPECT_EQ(a->GetClass(), c.cls);
        EXPECT_EQ(b->GetClass(), c.cls);
    }
}

TEST_F(Editors, CircleProgressQuarterRingEmptyRingAndEqualBounds) {
    ASSERT_NE(Open("<HorizontalLayout height=\"100\">"
                   "<CircleProgress name=\"q\" width=\"100\" bkcolor=\"#FFFF0000\" "
                   "forecolor=\"#FF00FF00\" min=\"0\" max=\"100\" value=\"25\"/>"
                   "<CircleProgress name=\"z\" width=\"100\" bkcolor=\"#FFFF0000\" "
                   "forecolor=\"#FF00FF00\" min=\"0\" max=\"100\" value=\"0\"/>"
                   "<CircleProgress name=\"e\" width=\"100\" bkcolor=\"#FFFF0000\" "
                   "forecolor=\"#FF00FF00\" min=\"5\" max=\"5\" value=\"5\"/>"
                   "</HorizontalLayout>"),
              nullptr);
    QImage img = Shot();
    auto ring = [&](const char* name, double deg) {
        QRect r = C(name)->GetPos();
        return At(img, OnCircle(r.center(), 45, deg));
    };
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), white = qRgb(255, 255, 255);
    // The quarter starts at the bottom (90) and runs clockwise to the left (180).
    EXPECT_EQ(ring("q", 135), green);
    EXPECT_EQ(ring("q", 100), green);
    EXPECT_EQ(ring("q", 170), green);
    EXPECT_EQ(ring("q", 45), red);
    EXPECT_EQ(ring("q", 270), red);
    EXPECT_EQ(ring("q", 200), red);
    EXPECT_EQ(At(img, C("q")->GetPos().center()), white);
    EXPECT_EQ(ring("z", 135), red);
    EXPECT_EQ(At(img, C("z")->GetPos().center()), white);
    // Equal bounds: the background disc only.
    EXPECT_EQ(static_cast<CCircleProgressUI*>(C("e"))->SweepDegrees(), -1);
    EXPECT_EQ(ring("e", 135), red);
    EXPECT_EQ(At(img, C("e")->GetPos().center()), red);
}

TEST_F(Editors, KeyButtonsArePaintedByThePanelInLayerOrder) {
    ASSERT_NE(Open("<SelectPanel name=\"device_key_light\" height=\"100\">"
                   "<DeviceKeyButton name=\"key_0\" float=\"true\" pos=\"10,10,30,30\" "
                   "bkcolor=\"#00000000\""
                   " keyunsetimage=\"red.png\" keysetimage=\"blue.png\" lightimage=\"white.png\"/>"
                   "</SelectPanel>"),
              nullptr);
    auto* key = static_cast<CDeviceKeyButtonUI*>(C("key_0"));
    EXPECT_EQ(key->GetWidget(), nullptr);  // painted, not a widget
    EXPECT_EQ(key->GetKeySetImageHidden(), 1u);
    EXPECT_EQ(key->GetLightColor(), 255u);
    EXPECT_EQ(key->GetLightAlpha(), 200u);
    QPoint mid = key->GetPos().center();
    struct Step {
        uint32_t unsetHidden, setHidden;
        bool light;
        QRgb expect;
    } steps[] = {
        {1, 1, false, qRgb(0, 0, 0)},
        {1, 1, true, qRgb(0, 255, 0)},  // the white light image tinted green
        {0, 1, true, qRgb(255, 0, 0)},  // the unset image above the light
        {0, 0, true, qRgb(0, 0, 255)},  // the set image above the unset image
        {1, 0, false, qRgb(0, 0, 255)},
    };
    for (const Step& s : steps) {
        key->SetLightPaint(0x0000FF00, 255, s.light);
        key->SetKeyUnsetImageHidden(s.unsetHidden);
        key->SetKeySetImageHidden(s.setHidden);
        key->Invalidate();
        Pump();
        EXPECT_EQ(At(Shot(), mid), s.expect) << s.unsetHidden << s.setHidden << s.light;
    }
}

TEST_F(Editors, DragSelectsExactlyTheKeysItCovers) {
    std::string keys;
    for (int i = 0; i < 5; ++i)
        keys += "<DeviceKeyButton name=\"key_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
                std::to_string(10 + 60 * i) + ",50,40,40\"/>";
    ASSERT_NE(
        Open("<SelectPanel name=\"device_key_light\" height=\"150\">" + keys + "</SelectPanel>"),
        nullptr);
    CControlUI* panel = C("device_key_light");
    QPoint origin = panel->GetPos().topLeft();
    // From empty space above key 1 to inside key 2.
    Mouse(panel, QEvent::MouseButtonPress, origin + QPoint(75, 20));
    Mouse(panel, QEvent::MouseMove, origin + QPoint(100, 60), Qt::LeftButton);
    Mouse(panel, QEvent::MouseMove, origin + QPoint(140, 70), Qt::LeftButton);
    Mouse(panel, QEvent::MouseButtonRelease, origin + QPoint(140, 70));
    std::vector<uint32_t> marks;
    for (int i = 0; i < 5; ++i)
        marks.push_back(static_cast<CDeviceKeyButtonUI*>(C(("key_" + std::to_string(i)).c_str()))
                            ->IsPanelSelected());
    EXPECT_EQ(marks, (std::vector<uint32_t>{0, 1, 1, 0, 0}));
    EXPECT_EQ(wnd->Trail(), (std::vector<std::string>{"click_select_end:device_key_light"}));
    wnd->notes.clear();
    // A plain click sends nothing and keeps the marks.
    Mouse(panel, QEvent::MouseButtonPress, origin + QPoint(300, 130));
    Mouse(panel, QEvent::MouseButtonRelease, origin + QPoint(300, 130));
    EXPECT_TRUE(wnd->Of("click_select_end").empty());
    EXPECT_EQ(static_cast<CDeviceKeyButtonUI*>(C("key_1"))->IsPanelSelected(), 1u);
    // A double click on a key raises "dbclick" with the key as sender.
    QPoint k3 = C("key_3")->GetPos().center();
    Mouse(panel, QEvent::MouseButtonPress, k3);
    Mouse(panel, QEvent::MouseButtonRelease, k3);
    Mouse(panel, QEvent::MouseButtonDblClick, k3);
    Mouse(panel, QEvent::MouseButtonRelease, k3);
    auto trail = wnd->Trail();
    EXPECT_EQ(std::count(trail.begin(), trail.end(), "dbclick:key_3"), 1);
    EXPECT_EQ(std::count(trail.begin(), trail.end(), "click:key_3"), 2);
}

TEST_F(Editors, PannableImageShowsTheDraggedColumns) {
    ASSERT_NE(Open("<HorizontalLayout height=\"50\"><HandImgSelectButton name=\"pan\" "
                   "width=\"100\" height=\"50\""
                   " handimage=\"ramp.png\" bkcolor=\"#00000000\"/></HorizontalLayout>"),
              nullptr);
    auto* pan = static_cast<CHandImgSelectButtonUI*>(C("pan"));
    EXPECT_EQ(pan->GetImageSize(), QSize(300, 50));
    EXPECT_EQ(pan->GetDrawString(), "file='ramp.png' source='0,0,100,50'");
    QPoint p = pan->GetPos().center();
    Mouse(pan, QEvent::MouseButtonPress, p);
    Mouse(pan, QEvent::MouseMove, p - QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(pan->GetSourceRect().left(), 40);
    EXPECT_EQ(pan->GetSourceRect().right() + 1, 140);
    Pump();
    QImage shot = Shot();
    EXPECT_EQ(qRed(At(shot, pan->GetPos().topLeft() + QPoint(0, 10))), 20);  // column 40
    Mouse(pan, QEvent::MouseMove, p + QPoint(20, 0), Qt::LeftButton);
    Mouse(pan, QEvent::MouseButtonRelease, p + QPoint(20, 0));
    EXPECT_EQ(pan->GetSourceRect().left(), 0);
    EXPECT_EQ(pan->GetSourceRect().right() + 1, 100);
    EXPECT_EQ(pan->GetDrawString(), "file='ramp.png' source='0,0,100,50'");
    auto trail = wnd->Trail();
    EXPECT_EQ(std::count(trail.begin(), trail.end(), "msenter:pan") +
                  std::count(trail.begin(), trail.end(), "msleave:pan"),
              0);
}

TEST_F(Editors, HandImageButtonHoverAndClick) {
    ASSERT_NE(Open("<HorizontalLayout height=\"40\"><HandImgButton name=\"logo\" width=\"80\" "
                   "handimage=\"file='blue.png' dest='10,10,20,20'\"/>"
                   "</HorizontalLayout>"),
              nullptr);
    CControlUI* b = C("logo");
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(HostOf(b), &enter);
    Click(b);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(HostOf(b), &leave);
    auto trail = wnd->Trail();
    EXPECT_EQ(trail, (std::vector<std::string>{"msenter:logo", "click:logo", "msleave:logo"}));
    QImage shot = Shot();
    QPoint tl = b->GetPos().topLeft();
    EXPECT_EQ(At(shot, tl + QPoint(15, 15)), qRgb(0, 0, 255));  // inside dest
    EXPECT_NE(At(shot, tl + QPoint(25, 25)), qRgb(0, 0, 255));  // outside dest
}

TEST_F(Editors, LevelDisplayDrawsOneBarPerTwoPixels) {
    ASSERT_NE(Open("<HorizontalLayout height=\"100\"><AudioRecord name=\"rec\" "
                   "width=\"300\"/></HorizontalLayout>"),
              nullptr);
    auto* rec = static_cast<CAudioRecordUI*>(C("rec"));
    auto bars = rec->BarRects();
    ASSERT_EQ(bars.size(), 150u);
    EXPECT_EQ(bars[0].height(), 0);                   // level 0
    EXPECT_EQ(bars[120].height(), 120 * 100 / 8192);  // level 120 -> 1 pixel
    QImage shot = Shot();
    QPoint tl = rec->GetPos().topLeft();
    EXPECT_EQ(At(shot, tl + QPoint(240, 99)), qRgb(0, 0, 0));
    EXPECT_EQ(At(shot, tl + QPoint(241, 99)), qRgb(255, 255, 255));
    EXPECT_EQ(At(shot, tl + QPoint(240, 97)), qRgb(255, 255, 255));
    EXPECT_EQ(rec->Level(300), 0);
    EXPECT_EQ(rec->Level(255), 255);
}

TEST_F(Editors, ComboEditElementBuildsItsItemAndRaisesReturn) {
    folder.Write("XML/CustomControlXML/ComboEditElementItem.xml",
                 "<HorizontalLayout><Label name=\"text1\"/><Label name=\"text2\"/><Edit "
                 "name=\"delay_edit\"/></HorizontalLayout>");
    ASSERT_NE(Open("<List name=\"macro_action_list\"><ComboEditContainerElement "
                   "name=\"macro_action\" normalimage=\"red.png\">"
                   "<Label name=\"placeholder\"/></ComboEditContainerElement></List>"),
              nullptr);
    auto* el = static_cast<CComboEditContainerElementUI*>(C("macro_action"));
    EXPECT_EQ(el->GetInterface("ComboEditContainerElement"), el);
    ASSERT_NE(el->Text1(), nullptr);
    EXPECT_NE(el->Text2(), nullptr);
    EXPECT_NE(el->DelayEdit(), nullptr);
    EXPECT_EQ(C("placeholder"), nullptr);  // the built item replaced the children
    QTest::keyClick(HostOf(el), Qt::Key_Return);
    EXPECT_EQ(wnd->Trail(),
              (std::vector<std::string>{"itemactivate:macro_action", "return:macro_action"}));
}
