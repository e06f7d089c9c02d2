#pragma once
// Pop-up menus built from a menu skin (<Menu> of <MenuElement name=".."
// text=".."/>). Choosing an item posts UIMSG_MENUCLICK to the owner window
// with a MenuCmd (the item's name) that the receiver releases. Only one menu
// is open at a time: showing one closes the previous.
#include "ui/List.h"
#include "ui/Window.h"

namespace ui {

class CMenuElementUI : public CListLabelElementUI {
  public:
    CMenuElementUI();
    std::string_view GetClass() const override { return "MenuElement"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(QPainter& p) override;
    bool WantsWidget() const override { return true; }

  private:
    bool hotItem_ = false;
};

class CMenuUI : public CVerticalLayoutUI {
  public:
    CMenuUI();
    std::string_view GetClass() const override { return "Menu"; }
    void* GetInterface(std::string_view name) override;
    // Height of all visible items plus the inset, in design units.
    int ContentHeight() const;
};

enum MenuAlign : uint32_t {
    eMenuAlignLeft = 1,    // the menu's left edge at the point
    eMenuAlignRight = 2,   // the right edge at the point
    eMenuAlignTop = 4,     // the top edge at the point
    eMenuAlignBottom = 8,  // the bottom edge at the point
};

class CMenuWnd : public WindowImplBase {
  public:
    // Opens a menu; nullptr when the skin cannot be built. The window deletes
    // itself when it closes.
    static CMenuWnd* ShowMenu(CWindowWnd* owner, const std::string& skin, const QPoint& screenPt,
                              uint32_t align = eMenuAlignLeft | eMenuAlignTop, int dpi = 96);
    // Alignment for a menu at the cursor given the desktop panel's side.
    static uint32_t AlignForTaskbar(const QPoint& pt);
    static CMenuWnd* Current();
    static void CloseCurrent();

    std::string GetWindowClassName() const override { return "MenuWnd"; }
    std::string GetSkinFile() override { return skin_; }
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const char* name) override;

  protected:
    void OnFinalMessage() override;

  private:
    CMenuWnd(CWindowWnd* owner, std::string skin) : menuOwner_(owner), skin_(std::move(skin)) {}
    void Place(const QPoint& pt, uint32_t align);
    CWindowWnd* menuOwner_;
    std::string skin_;
};

}  // namespace ui
