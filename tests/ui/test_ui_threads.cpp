// Worker threads talking to windows and controls.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <atomic>
#include <thread>

#include "platform/WorkerThread.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"

using namespace ui;
using namespace uitest;

namespace {

class Threads : public ::testing::Test {
  protected:
    SkinFolder folder;
    std::unique_ptr<RecordingWnd> wnd;
    void SetUp() override {
        ResetUiShutdown();
        folder.Write("t.xml",
                     "<Window size=\"300,200\"><VerticalLayout name=\"root\">"
                     "<Label name=\"status\" text=\"idle\"/><Progress name=\"bar\" height=\"10\"/>"
                     "<Edit name=\"field\" height=\"30\"/></VerticalLayout></Window>");
        wnd = OpenWindow("t.xml");
        ASSERT_NE(wnd, nullptr);
    }
    void TearDown() override { ResetUiShutdown(); }
};

}  // namespace

TEST_F(Threads, SendMessageFromWorkerBlocksUntilHandledAndReturnsTheResult) {
    const UINT arrived = 0x0C12;
    std::thread::id handledOn;
    wnd->onMessage = [&](UINT msg, WPARAM w, LPARAM, bool& handled) -> LRESULT {
        if (msg != arrived) return 0;
        handledOn = std::this_thread::get_id();
        handled = true;
        return LRESULT(w * 2);
    };
    std::atomic<bool> done{false};
    LRESULT result = 0;
    std::thread worker([&] {
        result = wnd->SendMessage(arrived, 21, 0);
        done = true;
    });
    // The worker cannot finish before the UI thread runs its queue.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(done.load());
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 2000));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    // From the UI thread the call is direct.
    EXPECT_EQ(wnd->SendMessage(arrived, 5, 0), 10);
}

TEST_F(Threads, PostedMessagesKeepTheirOrder) {
    std::vector<WPARAM> seen;
    wnd->onMessage = [&](UINT msg, WPARAM w, LPARAM, bool& handled) -> LRESULT {
        if (msg == WM_USER + 50) seen.push_back(w);
        handled = msg == WM_USER + 50;
        return 0;
    };
    std::thread worker([&] {
        for (WPARAM i = 0; i < 20; ++i)
            wnd->PostMessage(WM_USER + 50, i, 0);
    });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 20; }, 2000));
    ASSERT_EQ(seen.size(), 20u);
    for (WPARAM i = 0; i < 20; ++i)
        EXPECT_EQ(seen[i], i);
}

TEST_F(Threads, SendToAClosingWindowIsRefusedAtOnce) {
    wnd->DestroyWindow();
    std::atomic<bool> done{false};
    LRESULT r = -1;
    std::thread worker([&] {
        r = wnd->SendMessage(WM_USER + 1, 0, 0);
        done = true;
    });
    worker.join();  // no UI-thread help needed
    EXPECT_TRUE(done.load());
    EXPECT_EQ(r, 0);
}

TEST_F(Threads, ShutdownReleasesAWorkerWaitingOnTheUiThread) {
    std::atomic<bool> returned{false};
    std::atomic<bool> handled{false};
    wnd->onMessage = [&](UINT msg, WPARAM, LPARAM, bool& h) -> LRESULT {
        if (msg == WM_USER + 2) handled = true;
        h = true;
        return 1;
    };
    std::thread worker([&] {
        wnd->SendMessage(WM_USER + 2, 0, 0);
        returned = true;
    });
    // The UI thread does not run its queue; it shuts down and joins.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    BeginUiShutdown();
    worker.join();
    EXPECT_TRUE(returned.load());
    Pump();
    EXPECT_FALSE(handled.load());  // the abandoned call never runs
}

TEST_F(Threads, ControlCallsFromAWorkerLandOnTheUiThread) {
    auto* status = wnd->FindControl("status");
    auto* bar = static_cast<CProgressUI*>(wnd->FindControl("bar"));
    auto* field = static_cast<CEditUI*>(wnd->FindControl("field"));
    std::atomic<bool> done{false};
    std::string readBack;
    platform::WorkerThread worker;
    worker.Start("ui-test", [&](platform::StopEvent&) {
        status->SetText("busy");
        status->SetVisible(false);
        bar->SetValue(60);
        field->SetText("typed");
        readBack = field->GetText();
        status->SetTimer(7, 1000);
        status->Invalidate();
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 2000));
    worker.Stop();
    EXPECT_EQ(status->GetText(), "busy");
    EXPECT_FALSE(status->IsVisible());
    EXPECT_EQ(bar->GetValue(), 60);
    EXPECT_EQ(field->Edit()->text(), "typed");
    EXPECT_EQ(readBack, "typed");
    EXPECT_TRUE(wnd->GetPaintManager().HasTimer(status, 7));
}
