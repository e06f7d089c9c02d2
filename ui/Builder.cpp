#include "ui/Builder.h"

#include "platform/Debug.h"
#include "ui/Containers.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/InputControls.h"
#include "ui/List.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"
#include "ui/Text.h"

namespace ui {

CControlFactory& CControlFactory::Instance() {
    static CControlFactory factory;
    return factory;
}

void CControlFactory::RegisterControl(const std::string& className, Creator creator) {
    creators_[ToLower(className)] = std::move(creator);
}

bool CControlFactory::IsRegistered(const std::string& className) const {
    return creators_.count(ToLower(className)) != 0;
}

CControlUI* CControlFactory::CreateControl(const std::string& className) const {
    for (const std::string& name : {className, "C" + className + "UI"}) {
        auto it = creators_.find(ToLower(name));
        if (it != creators_.end()) return it->second();
    }
    return nullptr;
}

namespace {

template <class T>
CControlUI* Make() {
    return new T();
}

struct StandardClass {
    const char* name;
    CControlUI* (*create)();
};

const StandardClass kStandard[] = {
    {"Control", Make<CControlUI>},
    {"Container", Make<CContainerUI>},
    {"VerticalLayout", Make<CVerticalLayoutUI>},
    {"HorizontalLayout", Make<CHorizontalLayoutUI>},
    {"TabLayout", Make<CTabLayoutUI>},
    {"Label", Make<CLabelUI>},
    {"Text", Make<CTextUI>},
    {"Button", Make<CButtonUI>},
    {"Option", Make<COptionUI>},
    {"CheckBox", Make<CCheckBoxUI>},
    {"Progress", Make<CProgressUI>},
    {"Slider", Make<CSliderUI>},
    {"Edit", Make<CEditUI>},
    {"RichEdit", Make<CRichEditUI>},
    {"Combo", Make<CComboUI>},
    {"List", Make<CListUI>},
    {"ListLabelElement", Make<CListLabelElementUI>},
    {"ListTextElement", Make<CListTextElementUI>},
    {"ListContainerElement", Make<CListContainerElementUI>},
    {"ColorPalette", Make<CColorPaletteUI>},
};

// Elements that describe the skin rather than a control.
bool IsSkinDeclaration(const std::string& name) {
    for (const char* n : {"Window", "Default", "Style", "Font", "Include"})
        if (EqualsNoCase(name, n)) return true;
    return false;
}

AttributeList WithoutClassKey(const XmlNode& node, const char* key) {
    AttributeList out;
    for (const auto& kv : node.attrs)
        if (!EqualsNoCase(kv.first, key)) out.push_back(kv);
    return out;
}

}  // namespace

CControlUI* CreateStandardControl(std::string_view element) {
    for (const StandardClass& s : kStandard)
        if (EqualsNoCase(element, s.name)) return s.create();
    return nullptr;
}

CControlUI* CDialogBuilder::Create(const std::string& skin, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
    source_ = skin;
    error_.clear();
    std::string path = CResourceManager::Instance().ResolveSkinPath(skin);
    XmlNode root;
    std::string err;
    if (!ParseXmlFile(path, root, &err)) {
        error_ = "skin " + skin + ": " + err;
        platform::DebugOut(error_);
        return nullptr;
    }
    return Build(root, callback, manager, parent);
}

CControlUI* CDialogBuilder::CreateFromString(const std::string& xml,
                                             IDialogBuilderCallback* callback,
                                             CPaintManagerUI* manager, CControlUI* parent) {
    source_ = "(text)";
    error_.clear();
    XmlNode root;
    std::string err;
    if (!ParseXml(xml, root, &err)) {
        error_ = "skin text: " + err;
        platform::DebugOut(error_);
        return nullptr;
    }
    return Build(root, callback, manager, parent);
}

void CDialogBuilder::ReadWindowAttributes(const XmlNode& node, CPaintManagerUI* manager) {
    if (!manager) return;
    if (const std::string* size = node.Attr("size")) {
        auto v = ParseIntList(*size, 2);
        manager->SetInitSize(v[0], v[1]);
    }
    if (const std::string* caption = node.Attr("caption")) {
        auto v = ParseIntList(*caption, 4);
        manager->SetCaptionRect(QRect(v[0], v[1], v[2], v[3]));
    }
}

CControlUI* CDialogBuilder::Build(const XmlNode& root, IDialogBuilderCallback* callback,
                                  CPaintManagerUI* manager, CControlUI* parent) {
    const XmlNode* tree = &root;
    if (EqualsNoCase(root.name, "Window")) {
        ReadWindowAttributes(root, manager);
        tree = nullptr;
        for (const XmlNode& child : root.children) {
            if (EqualsNoCase(child.name, "Default") && manager) {
                manager->AddDefaultAttributeList(child.AttrOr("class"),
                                                 WithoutClassKey(child, "class"));
            } else if (EqualsNoCase(child.name, "Style") && manager) {
                manager->AddStyle(child.AttrOr("name"), WithoutClassKey(child, "name"));
            } else if (EqualsNoCase(child.name, "Font")) {
                FontSpec spec{child.AttrOr("face"), ParseInt(child.AttrOr("size"), 14),
                              ParseBool(child.AttrOr("bold")), ParseBool(child.AttrOr("underline")),
                              ParseBool(child.AttrOr("italic"))};
                if (ParseBool(child.AttrOr("default")))
                    CFontTable::Instance().SetDefaultFont(spec);
                else
                    CFontTable::Instance().AddFont(ParseInt(child.AttrOr("id"), 0), spec);
            } else if (!IsSkinDeclaration(child.name) && !tree) {
                tree = &child;
            }
        }
        if (!tree) {
            error_ = "skin " + source_ + ": no control in <Window>";
            platform::DebugOut(error_);
            return nullptr;
        }
    }
    CControlUI* control = BuildNode(*tree, callback, manager, 0);
    if (control && parent) {
        if (auto* container = dynamic_cast<CContainerUI*>(parent)) container->Add(control);
    }
    return control;
}

CControlUI* CDialogBuilder::BuildNode(const XmlNode& node, IDialogBuilderCallback* callback,
                                      CPaintManagerUI* manager, int depth) {
    if (depth > kMaxXmlDepth) {
        error_ = "skin " + source_ + ": nesting too deep";
        return nullptr;
    }
    CControlUI* control = CreateStandardControl(node.name);
    if (!control && callback) control = callback->CreateControl(node.name.c_str());
    if (!control) control = CControlFactory::Instance().CreateControl(node.name);
    if (!control) {
        error_ = "skin " + source_ + ": unknown element <" + node.name + ">";
        platform::DebugOut(error_);
        return nullptr;
    }
    if (manager) {
        if (const AttributeList* defaults = manager->GetDefaultAttributeList(control->GetClass()))
            control->ApplyAttributeList(*defaults);
        // The manager is known before attributes run, so "style" finds its list.
        control->SetManagerOnly(manager);
    }
    control->ApplyAttributeList(node.attrs);
    if (!BuildChildren(node, control, callback, manager, depth)) {
        delete control;
        return nullptr;
    }
    return control;
}

bool CDialogBuilder::BuildChildren(const XmlNode& node, CControlUI* control,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   int depth) {
    if (node.children.empty()) return true;
    auto* container = dynamic_cast<CContainerUI*>(control);
    for (const XmlNode& child : node.children) {
        if (IsSkinDeclaration(child.name)) continue;
        if (!container) {
            error_ = "skin " + source_ + ": <" + node.name + "> cannot hold <" + child.name + ">";
            platform::DebugOut(error_);
            return false;
        }
        CControlUI* c = BuildNode(child, callback, manager, depth + 1);
        if (!c) return false;
        if (!container->Add(c)) {
            delete c;
            error_ = "skin " + source_ + ": <" + node.name + "> refused <" + child.name + ">";
            platform::DebugOut(error_);
            return false;
        }
    }
    return true;
}

}  // namespace ui
