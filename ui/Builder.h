#pragma once
// Building control trees from skin files.
//
// An element name is resolved in this order: the standard classes, then the
// window's CreateControl callback, then the control factory (which accepts X
// and "C" + X + "UI"). Attributes come from the class defaults of the skin,
// then the element itself. When the callback returns a composite built from
// another file, the placeholder element's attributes (its name above all) are
// applied to that composite's root. Any failure yields nullptr.
#include <functional>
#include <map>
#include <string>

#include "ui/Control.h"
#include "ui/Xml.h"

namespace ui {

class CPaintManagerUI;

class IDialogBuilderCallback {
  public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const char* className) = 0;
};

class CControlFactory {
  public:
    using Creator = std::function<CControlUI*()>;
    static CControlFactory& Instance();

    void RegisterControl(const std::string& className, Creator creator);
    bool IsRegistered(const std::string& className) const;
    // className itself, else "C" + className + "UI"; nullptr when unknown.
    CControlUI* CreateControl(const std::string& className) const;

  private:
    std::map<std::string, Creator> creators_;  // lower-case names
};

// Creates one of the standard control classes by element name; nullptr when
// the name is not a standard class.
CControlUI* CreateStandardControl(std::string_view element);

class CDialogBuilder {
  public:
    // skin: an index entry ("XML_MAIN") or a file name relative to the
    // resource folder, with "/" or "\". The manager receives the skin's
    // window size, defaults and styles; the root is not attached.
    CControlUI* Create(const std::string& skin, IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // The same from XML text (tests, generated skins).
    CControlUI* CreateFromString(const std::string& xml, IDialogBuilderCallback* callback = nullptr,
                                 CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Why the last build failed.
    const std::string& GetLastError() const { return error_; }

  private:
    CControlUI* Build(const XmlNode& root, IDialogBuilderCallback* callback,
                      CPaintManagerUI* manager, CControlUI* parent);
    CControlUI* BuildNode(const XmlNode& node, IDialogBuilderCallback* callback,
                          CPaintManagerUI* manager, int depth);
    bool BuildChildren(const XmlNode& node, CControlUI* control, IDialogBuilderCallback* callback,
                       CPaintManagerUI* manager, int depth);
    void ReadWindowAttributes(const XmlNode& node, CPaintManagerUI* manager);
    std::string source_;
    std::string error_;
};

}  // namespace ui
