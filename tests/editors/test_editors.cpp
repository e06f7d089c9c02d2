// The program's own controls, built from skins and painted offscreen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
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

// ---- The key picture's light frames ----------------------------------------

namespace {

// Counts the panel's paints.
class CountingPanel : public CSelectPanelUI {
  public:
    int paints = 0;
    void DoPaint(QPainter& p, const QRect& paint) override {
        ++paints;
        CSelectPanelUI::DoPaint(p, paint);
    }
};

// A light picture with soft edges and a key picture with a frame, so tint
// arithmetic and what lies below both show in the pixels.
void WriteKeyPictures(const SkinFolder& folder) {
    QImage light(20, 20, QImage::Format_ARGB32);
    QImage key(20, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            int edge = std::min({x, y, 19 - x, 19 - y});
            light.setPixel(x, y, qRgba(255, 255, 255, std::min(255, 40 + edge * 40)));
            key.setPixel(x, y, edge < 2 ? qRgba(200, 180, 40, 255) : qRgba(30, 60, 90, 160));
        }
    light.save(QString::fromStdString(folder.Path() + "soft_light.png"));
    key.save(QString::fromStdString(folder.Path() + "framed_key.png"));
}

// The panel as painting every child in order over its background would show it.
QImage PaintedByHand(CControlUI* panel, uint32_t under) {
    QImage ref(panel->GetPos().size(), QImage::Format_RGB32);
    ref.fill(QColor::fromRgba(under));
    QPainter p(&ref);
    p.translate(-panel->GetPos().topLeft());
    if (panel->GetBkColor() >> 24)
        p.fillRect(panel->GetPos(), QColor::fromRgba(panel->GetBkColor()));
    for (CControlUI* c : static_cast<CSelectPanelUI*>(panel)->Children())
        c->DoPaint(p, c->GetPos());
    return ref;
}

// Empty when the pictures are equal, else where and how they first differ.
std::string FirstDifference(const QImage& got, const QImage& want) {
    if (got.size() != want.size()) return "sizes differ";
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (got.pixel(x, y) != want.pixel(x, y))
                return std::to_string(x) + "," + std::to_string(y) + ": " +
                       QColor(got.pixel(x, y)).name().toStdString() + " instead of " +
                       QColor(want.pixel(x, y)).name().toStdString();
    return "";
}

// What the screen shows of the window (its backing store).
QImage OnScreen(QWidget* w) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(w->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST_F(Editors, LightFramesShowWhatPaintingEveryButtonShows) {
    WriteKeyPictures(folder);
    // Separate key and light buttons at the same place (the device pictures).
    auto pairs = [](int i, const std::string& pos) {
        return "<DeviceKeyButton name=\"key_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
               pos + "\" normalimage=\"framed_key.png\"/><DeviceKeyButton name=\"light_" +
               std::to_string(i) + "\" float=\"true\" pos=\"" + pos +
               "\" lightimage=\"soft_light.png\" mouse=\"false\"/>";
    };
    // One button with both pictures (the demo skin).
    auto combined = [](int i, const std::string& pos) {
        return "<DeviceKeyButton name=\"light_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
               pos + "\" normalimage=\"framed_key.png\" lightimage=\"soft_light.png\"/>";
    };
    auto place = [](int i, int step) {
        return std::to_string(8 + (i % 3) * step) + "," + std::to_string(6 + (i / 3) * step) +
               ",20,20";
    };
    // Six buttons in two rows, `step` pixels apart (below 20 they overlap).
    auto grid = [&](auto button, int step) {
        std::string out;
        for (int i = 0; i < 6; ++i)
            out += button(i, place(i, step));
        return out;
    };
    // All key buttons first, then all light buttons.
    std::string keysFirst;
    for (int i = 0; i < 6; ++i)
        keysFirst += "<DeviceKeyButton name=\"key_" + std::to_string(i) +
                     "\" float=\"true\" pos=\"" + place(i, 26) +
                     "\" normalimage=\"framed_key.png\"/>";
    for (int i = 0; i < 6; ++i)
        keysFirst += "<DeviceKeyButton name=\"light_" + std::to_string(i) +
                     "\" float=\"true\" pos=\"" + place(i, 26) +
                     "\" lightimage=\"soft_light.png\"/>";
    struct Case {
        const char* what;
        std::string panelColor;
        std::string children;
        uint32_t under;  // the colour of the panel's parent
    } cases[] = {
        {"opaque panel, lights apart", "#FF202428", grid(pairs, 26), 0xFF000000},
        {"opaque panel, lights overlapping", "#FF202428", grid(pairs, 14), 0xFF000000},
        {"opaque panel, combined buttons", "#FF202428", grid(combined, 26), 0xFF000000},
        {"transparent panel", "#00000000", grid(pairs, 26), 0xFF000000},
        {"half transparent panel, overlapping", "#80406080", grid(pairs, 14), 0xFF000000},
        {"transparent panel, keys first", "#00000000", keysFirst, 0xFF336699},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char under[16];
        std::snprintf(under, sizeof under, "#%08X", c.under);
        ASSERT_NE(Open("<Label height=\"17\"/><HorizontalLayout height=\"70\" bkcolor=\"" +
                       std::string(under) +
                       "\"><Label width=\"13\"/>"
                       "<SelectPanel name=\"device_key_light\" width=\"90\" bkcolor=\"" +
                       c.panelColor + "\">" + c.children + "</SelectPanel></HorizontalLayout>"),
                  nullptr);
        CControlUI* panel = C("device_key_light");
        ASSERT_EQ(panel->GetPos().topLeft(), QPoint(13, 17));
        std::vector<CDeviceKeyButtonUI*> lights;
        for (int i = 0; i < 6; ++i)
            lights.push_back(
                static_cast<CDeviceKeyButtonUI*>(C(("light_" + std::to_string(i)).c_str())));
        struct Frame {
            uint32_t colors[6];
            uint32_t alpha;
            bool off3;
        } frames[] = {
            {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0xFFAA00}, 200, false},
            {{0xFF0000, 0x00FF00, 0x7F7F7F, 0xFFFFFF, 0x123456, 0x00AAFF}, 200, true},
            {{0x10E0A0, 0x00FF00, 0x7F7F7F, 0xFFFFFF, 0x654321, 0x00AAFF}, 77, false},
        };
        for (const Frame& f : frames) {
            for (int i = 0; i < 6; ++i)
                lights[size_t(i)]->SetLightPaint(f.colors[i], f.alpha, !(f.off3 && i == 3));
            panel->Invalidate();
            Pump(20);
            QImage expect = PaintedByHand(panel, c.under);
            QRect area = panel->GetPos();
            EXPECT_EQ(FirstDifference(OnScreen(wnd->GetHWND()).copy(area), expect), "");
            EXPECT_EQ(
                FirstDifference(Shot().convertToFormat(QImage::Format_RGB32).copy(area), expect),
                "");
        }
    }
}

TEST_F(Editors, OnlyChangedLightsRepaintAndNothingPaintsOffScreen) {
    WriteKeyPictures(folder);
    CountingPanel* counting = nullptr;
    folder.Write("e.xml",
                 "<Window size=\"300,120\"><VerticalLayout bkcolor=\"#FF000000\">"
                 "<SelectPanel name=\"device_key_light\" height=\"100\" bkcolor=\"#FF202428\">"
                 "<DeviceKeyButton name=\"light_0\" float=\"true\" pos=\"10,10,20,20\" "
                 "lightimage=\"soft_light.png\"/>"
                 "<DeviceKeyButton name=\"light_1\" float=\"true\" pos=\"50,10,20,20\" "
                 "lightimage=\"soft_light.png\"/>"
                 "</SelectPanel></VerticalLayout></Window>");
    wnd = std::make_unique<RecordingWnd>("e.xml");
    wnd->createControl = [&](const char* name) -> CControlUI* {
        if (std::string(name) != "SelectPanel") return nullptr;
        counting = new CountingPanel();
        return counting;
    };
    ASSERT_TRUE(wnd->Create(nullptr, "test", ui::UI_WNDSTYLE_FRAME & ~ui::WS_VISIBLE, 0));
    wnd->ShowWindow(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd->GetHWND()));
    Pump(20);
    ASSERT_NE(counting, nullptr);
    auto* l0 = static_cast<CDeviceKeyButtonUI*>(C("light_0"));
    auto* l1 = static_cast<CDeviceKeyButtonUI*>(C("light_1"));
    const QPoint mid0 = l0->GetPos().center(), mid1 = l1->GetPos().center();
    l0->SetLightPaint(0x00FF00, 255, true);
    l1->SetLightPaint(0x0000FF, 255, true);
    counting->Invalidate();
    Pump(20);
    ASSERT_EQ(OnScreen(wnd->GetHWND()).pixel(mid0), qRgb(0, 255, 0));
    const int rebuilds = counting->BaseRebuilds();

    // Same colours again, from the panel and from a light: nothing is painted.
    counting->paints = 0;
    int repaints = counting->OverlayRepaints();
    l0->SetLightPaint(0x00FF00, 255, true);
    counting->Invalidate();
    Pump(20);
    EXPECT_EQ(counting->paints, 0);
    EXPECT_EQ(counting->OverlayRepaints(), repaints);

    // One light changes: one light is repainted and shows its colour.
    l1->SetLightPaint(0xFF0000, 255, true);
    counting->Invalidate();
    Pump(20);
    EXPECT_EQ(counting->paints, 1);
    EXPECT_EQ(counting->OverlayRepaints(), repaints + 1);
    QImage screen = OnScreen(wnd->GetHWND());
    EXPECT_EQ(screen.pixel(mid1), qRgb(255, 0, 0));
    EXPECT_EQ(screen.pixel(mid0), qRgb(0, 255, 0));
    EXPECT_EQ(counting->BaseRebuilds(), rebuilds);  // the cached picture stays

    // Hidden: the colour is stored, nothing is painted or composed.
    for (bool minimise : {false, true}) {
        SCOPED_TRACE(minimise ? "minimised" : "hidden");
        if (minimise)
            wnd->GetHWND()->showMinimized();
        else
            wnd->ShowWindow(false);
        Pump(20);
        ASSERT_EQ(wnd->GetHWND()->isMinimized(), minimise);
        EXPECT_FALSE(counting->IsOnScreen());
        counting->paints = 0;
        repaints = counting->OverlayRepaints();
        uint32_t color = minimise ? 0x00FFFF : 0xFFFF00;
        l0->SetLightPaint(color, 255, true);
        counting->Invalidate();
        Pump(20);
        EXPECT_EQ(counting->paints, 0);
        EXPECT_EQ(counting->OverlayRepaints(), repaints);
        EXPECT_EQ(l0->GetLightColor(), color);
        wnd->GetHWND()->showNormal();
        Pump(20);
        counting->Invalidate();  // the next light frame brings the picture up to date
        Pump(20);
        EXPECT_EQ(OnScreen(wnd->GetHWND()).pixel(mid0),
                  qRgb(int(color >> 16), int((color >> 8) & 0xFF), int(color & 0xFF)));
    }
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
