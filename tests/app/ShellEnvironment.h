#pragma once
// The environment of the tests that run the shell's windows: the program's
// folders point into the source tree, one QApplication, the skin resources,
// and (for the whole shell) the control classes and registered messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/AppEntry.h"
#include "app/AppMessages.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"

namespace apptest {

enum class ShellParts { ResourcesOnly, Controls, WholeShell };

class ShellEnvironment : public ::testing::Environment {
  public:
    explicit ShellEnvironment(ShellParts parts = ShellParts::WholeShell) : parts_(parts) {}
    void SetUp() override {
        const char* src = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
        ASSERT_NE(src, nullptr);
        setenv("BROMMELIVANTOS_PROGRAM_DIR", src, 1);
        uitest::App();
        if (parts_ == ShellParts::WholeShell) app::RegisterInstanceMessage();
        ASSERT_TRUE(ui::InitResources(std::string(src) + "/"));
        if (parts_ != ShellParts::ResourcesOnly) app::RegisterControlClasses();
        if (parts_ == ShellParts::WholeShell) app::RegisterIdentityMessages();
    }

  private:
    ShellParts parts_;
};

// Runs the event loop until done() holds or the limit passed.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        uitest::Pump(10);
    }
    return true;
}

}  // namespace apptest
