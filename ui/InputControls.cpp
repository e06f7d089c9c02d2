#include "ui/InputControls.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QStandardItemModel>

#include "ui/Attr.h"
#include "ui/Dispatch.h"
#include "ui/Fonts.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"

namespace ui {

namespace {

QString Css(uint32_t argb) {
    return QString("rgba(%1,%2,%3,%4)")
        .arg((argb >> 16) & 0xFF)
        .arg((argb >> 8) & 0xFF)
        .arg(argb & 0xFF)
        .arg(((argb >> 24) & 0xFF) / 255.0, 0, 'f', 3);
}

constexpr uint32_t kFieldBk = 0xFF1B1F26;
constexpr uint32_t kFieldBorder = 0xFF3A404D;
constexpr uint32_t kAccent = 0xFF3DA5FF;

std::string Translate(const std::string& key) {
    return CResourceManager::Instance().GetText(key);
}

}  // namespace

void CWrappedControl::ApplyStyle(CControlUI& c, QWidget* w, const char* selector,
                                 const std::string& extra) {
    if (!w) return;
    uint32_t bk = c.GetBkColor() ? c.GetBkColor() : kFieldBk;
    uint32_t border = c.GetBorderColor() ? c.GetBorderColor() : kFieldBorder;
    int round = std::max(0, c.Scale(4));
    QString sheet = QString(
                        "%1{background:%2;color:%3;border:%4px solid %5;border-radius:%6px;"
                        "padding:0 %7px;selection-background-color:%8;}"
                        "%1:focus{border-color:%8;}%1:disabled{color:%9;}")
                        .arg(selector, Css(bk), Css(c.GetTextColor()))
                        .arg(std::max(1, c.Scale(std::max(1, c.GetBorderSize()))))
                        .arg(Css(border))
                        .arg(round)
                        .arg(c.Scale(6))
                        .arg(Css(kAccent), Css(c.GetDisabledTextColor())) +
                    Q(extra);
    std::string s = S(sheet);
    if (s == lastSheet_) return;
    lastSheet_ = s;
    w->setStyleSheet(sheet);
}

// ---- CEditUI ---------------------------------------------------------------

CEditUI::CEditUI() {
    notifyFocus_ = true;
}

CEditUI::~CEditUI() {
    delete bridge_;
}

void* CEditUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Edit")) return this;
    return CLabelUI::GetInterface(name);
}

QLineEdit* CEditUI::Edit() {
    return static_cast<QLineEdit*>(GetWidget());
}

QWidget* CEditUI::CreateWidget() {
    auto* edit = new QLineEdit();
    bridge_ = new CWidgetBridge(this);
    edit->installEventFilter(bridge_);
    QObject::connect(edit, &QLineEdit::textChanged, bridge_,
                     [this](const QString& t) { text_ = S(t); });
    QObject::connect(edit, &QLineEdit::textEdited, bridge_, [this](const QString&) {
        EventDispatchScope scope;
        SendNotify("textchanged");
    });
    QObject::connect(edit, &QLineEdit::returnPressed, bridge_, [this] {
        EventDispatchScope scope;
        SendNotify("return");
    });
    return edit;
}

void CEditUI::SyncWidget() {
    CControlUI::SyncWidget();
    QLineEdit* e = static_cast<QLineEdit*>(widget_.data());
    e->setText(Q(DisplayText()));
    e->setMaxLength(maxChar_ > 0 ? maxChar_ : 32767);
    e->setReadOnly(readOnly_);
    e->setEchoMode(password_ ? QLineEdit::Password : QLineEdit::Normal);
    e->setPlaceholderText(Q(Translate(tipText_)));
    if (numberOnly_)
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    else
        e->setValidator(nullptr);
    e->setFont(CurrentFont());
    ApplyStyle(*this, e, "QLineEdit");
}

void CEditUI::Invalidate() {
    if (IsUiThread() && widget_) ApplyStyle(*this, widget_, "QLineEdit");
    CLabelUI::Invalidate();
}

std::string CEditUI::GetText() const {
    UI_MARSHAL_RET(std::string, GetText());
    return text_;
}

void CEditUI::SetText(const std::string& text) {
    UI_MARSHAL_VOID(SetText(text));
    text_ = text;
    if (widget_) Edit()->setText(Q(text));
}

void CEditUI::SetMaxChar(int n) {
    UI_MARSHAL_VOID(SetMaxChar(n));
    maxChar_ = n;
    if (widget_) Edit()->setMaxLength(n > 0 ? n : 32767);
}

void CEditUI::SetNumberOnly(bool on) {
    UI_MARSHAL_VOID(SetNumberOnly(on));
    numberOnly_ = on;
    if (widget_) SyncWidget();
}

void CEditUI::SetValueRange(int minValue, int maxValue) {
    UI_MARSHAL_VOID(SetValueRange(minValue, maxValue));
    hasRange_ = true;
    minValue_ = minValue;
    maxValue_ = maxValue;
}

void CEditUI::SetReadOnly(bool on) {
    UI_MARSHAL_VOID(SetReadOnly(on));
    readOnly_ = on;
    if (widget_) Edit()->setReadOnly(on);
}

void CEditUI::SetPasswordMode(bool on) {
    UI_MARSHAL_VOID(SetPasswordMode(on));
    password_ = on;
    if (widget_) SyncWidget();
}

void CEditUI::SetTipText(const std::string& key) {
    UI_MARSHAL_VOID(SetTipText(key));
    tipText_ = key;
    if (widget_) Edit()->setPlaceholderText(Q(Translate(key)));
}

void CEditUI::SetSel(int start, int end) {
    UI_MARSHAL_VOID(SetSel(start, end));
    QLineEdit* e = Edit();
    int len = int(e->text().size());
    if (end < 0 || end > len) end = len;
    start = std::clamp(start, 0, end);
    e->setSelection(start, end - start);
}

void CEditUI::SetSelNone() {
    UI_MARSHAL_VOID(SetSelNone());
    Edit()->deselect();
}

void CEditUI::SetCaretToEnd() {
    UI_MARSHAL_VOID(SetCaretToEnd());
    QLineEdit* e = Edit();
    e->deselect();
    e->setCursorPosition(int(e->text().size()));
}

void CEditUI::ReloadText() {
    if (widget_) Edit()->setPlaceholderText(Q(Translate(tipText_)));
}

void CEditUI::ClampToRange() {
    if (!hasRange_ || text_.empty()) return;
    long long v = 0;
    for (char ch : text_) {
        if (ch < '0' || ch > '9') return;
        v = std::min<long long>(v * 10 + (ch - '0'), 1LL << 40);
    }
    long long clamped = std::clamp<long long>(v, minValue_, maxValue_);
    if (clamped != v) SetText(std::to_string(clamped));
}

void CEditUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_KILLFOCUS) ClampToRange();
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CEditUI;
    static const AttrTable<C> table{
        {"maxchar", [](C& c, std::string_view v) { c.SetMaxChar(ParseInt(v)); }},
        {"numberonly", [](C& c, std::string_view v) { c.SetNumberOnly(ParseBool(v)); }},
        {"readonly", [](C& c, std::string_view v) { c.SetReadOnly(ParseBool(v)); }},
        {"password", [](C& c, std::string_view v) { c.SetPasswordMode(ParseBool(v)); }},
        {"tiptext", [](C& c, std::string_view v) { c.SetTipText(Str(v)); }},
        {"minvalue",
         [](C& c, std::string_view v) {
             c.SetValueRange(ParseInt(v), c.hasRange_ ? c.maxValue_ : 65535);
         }},
        {"maxvalue",
         [](C& c, std::string_view v) {
             c.SetValueRange(c.hasRange_ ? c.minValue_ : 0, ParseInt(v));
         }},
    };
    if (table.Apply(*this, name, value)) return;
    CLabelUI::SetAttribute(name, value);
    if (EqualsNoCase(name, "text") && widget_) Edit()->setText(Q(text_));
}

// ---- CRichEditUI -----------------------------------------------------------

CRichEditUI::CRichEditUI() {
    notifyFocus_ = true;
    textStyle_ = DT_LEFT | DT_WORDBREAK;
}

CRichEditUI::~CRichEditUI() {
    delete bridge_;
}

void* CRichEditUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "RichEdit")) return this;
    return CLabelUI::GetInterface(name);
}

QPlainTextEdit* CRichEditUI::Edit() {
    return static_cast<QPlainTextEdit*>(GetWidget());
}

QWidget* CRichEditUI::CreateWidget() {
    auto* edit = new QPlainTextEdit();
    bridge_ = new CWidgetBridge(this);
    edit->installEventFilter(bridge_);
    QObject::connect(edit, &QPlainTextEdit::textChanged, bridge_, [this, edit] {
        std::string now = S(edit->toPlainText());
        if (maxChar_ > 0 && int(edit->toPlainText().size()) > maxChar_) {
            QString t = edit->toPlainText().left(maxChar_);
            edit->setPlainText(t);
            edit->moveCursor(QTextCursor::End);
            return;
        }
        if (now == text_) return;
        text_ = now;
        EventDispatchScope scope;
        SendNotify("textchanged");
    });
    return edit;
}

void CRichEditUI::SyncWidget() {
    CControlUI::SyncWidget();
    QPlainTextEdit* e = static_cast<QPlainTextEdit*>(widget_.data());
    {
        QSignalBlocker block(e);
        e->setPlainText(Q(text_));
    }
    e->setReadOnly(readOnly_);
    e->setPlaceholderText(Q(Translate(tipText_)));
    e->setFont(CurrentFont());
    ApplyStyle(*this, e, "QPlainTextEdit");
}

void CRichEditUI::Invalidate() {
    if (IsUiThread() && widget_) ApplyStyle(*this, widget_, "QPlainTextEdit");
    CLabelUI::Invalidate();
}

std::string CRichEditUI::GetText() const {
    UI_MARSHAL_RET(std::string, GetText());
    return text_;
}

void CRichEditUI::SetText(const std::string& text) {
    UI_MARSHAL_VOID(SetText(text));
    text_ = text;
    if (widget_) {
        QSignalBlocker block(widget_);
        Edit()->setPlainText(Q(text));
    }
}

void CRichEditUI::SetTipValue(const std::string& key) {
    UI_MARSHAL_VOID(SetTipValue(key));
    tipText_ = key;
    if (widget_) Edit()->setPlaceholderText(Q(Translate(key)));
}

void CRichEditUI::SetReadOnly(bool on) {
    UI_MARSHAL_VOID(SetReadOnly(on));
    readOnly_ = on;
    if (widget_) Edit()->setReadOnly(on);
}

void CRichEditUI::ReloadText() {
    if (widget_) Edit()->setPlaceholderText(Q(Translate(tipText_)));
}

void CRichEditUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CRichEditUI;
    static const AttrTable<C> table{
        {"tiptext", [](C& c, std::string_view v) { c.SetTipValue(Str(v)); }},
        {"tipvalue", [](C& c, std::string_view v) { c.SetTipValue(Str(v)); }},
        {"readonly", [](C& c, std::string_view v) { c.SetReadOnly(ParseBool(v)); }},
        {"maxchar", [](C& c, std::string_view v) { c.maxChar_ = ParseInt(v); }},
    };
    if (table.Apply(*this, name, value)) return;
    CLabelUI::SetAttribute(name, value);
    if (EqualsNoCase(name, "text")) SetText(text_);
}

// ---- CComboUI --------------------------------------------------------------

CComboUI::CComboUI() {
    fixedH_ = 0;
    notifyFocus_ = false;
}

CComboUI::~CComboUI() {
    delete bridge_;
    bridge_ = nullptr;
}

void* CComboUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Combo")) return this;
    return CContainerUI::GetInterface(name);
}

QComboBox* CComboUI::Combo() {
    return static_cast<QComboBox*>(GetWidget());
}

QWidget* CComboUI::CreateWidget() {
    auto* combo = new QComboBox();
    combo->setView(new QListView());
    bridge_ = new CWidgetBridge(this);
    combo->installEventFilter(bridge_);
    QObject::connect(combo, &QComboBox::activated, bridge_, [this](int index) {
        EventDispatchScope scope;
        if (index != curSel_) SelectItem(index, false, true);
    });
    return combo;
}

void CComboUI::SyncWidget() {
    CControlUI::SyncWidget();
    QComboBox* c = static_cast<QComboBox*>(widget_.data());
    QSignalBlocker block(c);
    c->clear();
    for (size_t i = 0; i < items_.size(); ++i) {
        c->addItem(QString());
        SyncItem(int(i));
    }
    c->setCurrentIndex(curSel_);
    c->setFont(CurrentFont());
    Invalidate();
}

void CComboUI::Invalidate() {
    if (IsUiThread() && widget_)
        ApplyStyle(*this, widget_, "QComboBox",
                   S(QString("QComboBox QAbstractItemView{background:#1B1F26;color:#E6E8EB;"
                             "selection-background-color:#3DA5FF;outline:0;}"
                             "QComboBox QAbstractItemView::item{min-height:%1px;}"
                             "QComboBox::drop-down{border:0;width:%2px;}")
                         .arg(Scale(30))
                         .arg(Scale(22))));
    CContainerUI::Invalidate();
}

void CComboUI::SyncItem(int index) {
    if (!widget_ || index < 0 || index >= int(items_.size())) return;
    QComboBox* c = static_cast<QComboBox*>(widget_.data());
    CControlUI* item = items_[size_t(index)];
    QSignalBlocker block(c);
    c->setItemText(index, Q(item->GetText()));
    c->setItemData(index, Q(item->GetToolTip()), Qt::ToolTipRole);
    if (auto* view = qobject_cast<QListView*>(c->view()))
        view->setRowHidden(index, !item->IsOwnVisible());
}

void CComboUI::OnItemChanged(CControlUI* item) {
    SyncItem(GetItemIndex(item));
}

void CComboUI::Refresh() {
    UI_MARSHAL_VOID(Refresh());
    for (size_t i = 0; i < items_.size(); ++i)
        SyncItem(int(i));
}

void CComboUI::Reindex() {
    for (size_t i = 0; i < items_.size(); ++i)
        if (IListItemUI* item = AsListItem(items_[i])) item->SetIndex(int(i));
}

bool CComboUI::AddAt(CControlUI* child, int index) {
    UI_MARSHAL_RET(bool, AddAt(child, index));
    IListItemUI* item = AsListItem(child);
    if (!item) return false;
    item->SetOwner(this);
    if (!CContainerUI::AddAt(child, index)) return false;
    Reindex();
    if (curSel_ >= index) ++curSel_;
    if (widget_) {
        QComboBox* c = Combo();
        QSignalBlocker block(c);
        c->insertItem(index, QString());
        SyncItem(index);
        c->setCurrentIndex(curSel_);
    }
    return true;
}

bool CComboUI::Remove(CControlUI* child, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, Remove(child, doNotDestroy));
    int index = GetItemIndex(child);
    return index >= 0 && RemoveAt(index, doNotDestroy);
}

// Removing the selected item selects the item now at its place (the new last
// one when it was last) and raises "itemselect".
bool CComboUI::RemoveAt(int index, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, RemoveAt(index, doNotDestroy));
    if (!CContainerUI::RemoveAt(index, doNotDestroy)) return false;
    Reindex();
    if (widget_) {
        QSignalBlocker block(widget_);
        Combo()->removeItem(index);
    }
    if (index < curSel_) {
        --curSel_;
    } else if (index == curSel_) {
        int next = std::min(index, int(items_.size()) - 1);
        curSel_ = -2;  // force the event even when the index stays the same
        SelectItem(next, false, true);
        return true;
    }
    if (widget_) {
        QSignalBlocker block(widget_);
        Combo()->setCurrentIndex(curSel_);
    }
    return true;
}

void CComboUI::RemoveAll() {
    UI_MARSHAL_VOID(RemoveAll());
    curSel_ = -1;
    CContainerUI::RemoveAll();
    if (widget_) {
        QSignalBlocker block(widget_);
        Combo()->clear();
    }
}

int CComboUI::GetCurSel() const {
    UI_MARSHAL_RET(int, GetCurSel());
    return curSel_;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendEvent) {
    UI_MARSHAL_RET(bool, SelectItem(index, takeFocus, sendEvent));
    if (index < -1 || index >= int(items_.size())) return false;
    int old = curSel_ < -1 ? index : curSel_;
    for (size_t i = 0; i < items_.size(); ++i)
        if (IListItemUI* item = AsListItem(items_[i])) item->SetSelectedState(int(i) == index);
    curSel_ = index;
    if (widget_) {
        QSignalBlocker block(widget_);
        Combo()->setCurrentIndex(index);
        if (takeFocus) widget_->setFocus();
    }
    if (sendEvent) SendNotify("itemselect", WPARAM(index), LPARAM(old));
    return true;
}

void CComboUI::SetAttribute(std::string_view name, std::string_view value) {
    // The item selected at start; applied once the items exist.
    if (EqualsNoCase(name, "selectedid")) {
        initialSel_ = ParseInt(value, -1);
        return;
    }
    CContainerUI::SetAttribute(name, value);
}

void CComboUI::DoInit() {
    if (initialSel_ >= 0 && initialSel_ < int(items_.size())) SelectItem(initialSel_, false, false);
}

std::string CComboUI::GetText() const {
    UI_MARSHAL_RET(std::string, GetText());
    if (curSel_ < 0 || curSel_ >= int(items_.size())) return {};
    return items_[size_t(curSel_)]->GetText();
}

// ---- CSliderUI -------------------------------------------------------------

CSliderUI::CSliderUI() {
    bkColor_ = 0;
    fixedH_ = 0;
}

CSliderUI::~CSliderUI() {
    delete bridge_;
}

void* CSliderUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Slider")) return this;
    return CProgressUI::GetInterface(name);
}

QSlider* CSliderUI::Slider() {
    return static_cast<QSlider*>(GetWidget());
}

// Dragging raises "movevaluechanged" for each step; a value the user set
// (release after a drag, a click on the groove, a key) raises "valuechanged".
QWidget* CSliderUI::CreateWidget() {
    auto* s = new QSlider(horizontal_ ? Qt::Horizontal : Qt::Vertical);
    bridge_ = new CWidgetBridge(this);
    s->installEventFilter(bridge_);
    QObject::connect(s, &QSlider::valueChanged, bridge_, [this, s](int v) {
        value_ = v;
        EventDispatchScope scope;
        SendNotify(s->isSliderDown() ? "movevaluechanged" : "valuechanged");
    });
    QObject::connect(s, &QSlider::sliderPressed, bridge_, [this] { pressValue_ = value_; });
    QObject::connect(s, &QSlider::sliderReleased, bridge_, [this] {
        EventDispatchScope scope;
        if (value_ != pressValue_) SendNotify("valuechanged");
    });
    return s;
}

void CSliderUI::SyncWidget() {
    CControlUI::SyncWidget();
    QSlider* s = static_cast<QSlider*>(widget_.data());
    QSignalBlocker block(s);
    s->setOrientation(horizontal_ ? Qt::Horizontal : Qt::Vertical);
    s->setRange(min_, std::max(min_, max_));
    s->setValue(value_);
    s->setSingleStep(step_);
    s->setPageStep(std::max(1, step_));
    Invalidate();
}

void CSliderUI::Invalidate() {
    if (IsUiThread() && widget_) {
        int groove = Scale(4);
        int handle = Scale(14);
        QString thumb =
            thumbImage_.empty()
                ? QString("background:#FFFFFF;border:%1px solid %2;").arg(Scale(3)).arg("#3DA5FF")
                : QString("image:url(%1);background:transparent;border:0;")
                      .arg(Q(CResourceManager::Instance().GetResourcePath() +
                             ImageStringFile(thumbImage_)));
        QString sheet =
            QString(
                "QSlider{background:transparent;}"
                "QSlider::groove:horizontal{height:%1px;background:#3A404D;border-radius:%2px;}"
                "QSlider::sub-page:horizontal{background:#3DA5FF;border-radius:%2px;}"
                "QSlider::handle:horizontal{width:%3px;height:%3px;margin:-%4px 0;"
                "border-radius:%5px;%6}")
                .arg(groove)
                .arg(groove / 2)
                .arg(handle)
                .arg((handle - groove) / 2)
                .arg(handle / 2)
                .arg(thumb);
        std::string s = S(sheet);
        if (s != lastSheet_) {
            lastSheet_ = s;
            widget_->setStyleSheet(sheet);
        }
    }
    CProgressUI::Invalidate();
}

void CSliderUI::SetMinValue(int v) {
    UI_MARSHAL_VOID(SetMinValue(v));
    min_ = v;
    if (widget_) {
        QSignalBlocker block(widget_);
        Slider()->setMinimum(v);
        value_ = Slider()->value();
    }
}

void CSliderUI::SetMaxValue(int v) {
    UI_MARSHAL_VOID(SetMaxValue(v));
    max_ = v;
    if (widget_) {
        QSignalBlocker block(widget_);
        Slider()->setMaximum(v);
        value_ = Slider()->value();
    }
}

void CSliderUI::SetValue(int v) {
    UI_MARSHAL_VOID(SetValue(v));
    value_ = std::clamp(v, min_, std::max(min_, max_));
    if (widget_) {
        QSignalBlocker block(widget_);
        Slider()->setValue(value_);
    }
}

int CSliderUI::GetValue() const {
    UI_MARSHAL_RET(int, GetValue());
    return value_;
}

void CSliderUI::SetChangeStep(int step) {
    UI_MARSHAL_VOID(SetChangeStep(step));
    step_ = std::max(1, step);
    if (widget_) Slider()->setSingleStep(step_);
}

void CSliderUI::SetThumbImage(const std::string& image) {
    UI_MARSHAL_VOID(SetThumbImage(image));
    thumbImage_ = image;
    Invalidate();
}

void CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CSliderUI;
    static const AttrTable<C> table{
        {"min", [](C& c, std::string_view v) { c.SetMinValue(ParseInt(v)); }},
        {"max", [](C& c, std::string_view v) { c.SetMaxValue(ParseInt(v)); }},
        {"value", [](C& c, std::string_view v) { c.SetValue(ParseInt(v)); }},
        {"step", [](C& c, std::string_view v) { c.SetChangeStep(ParseInt(v, 1)); }},
        {"thumbimage", [](C& c, std::string_view v) { c.SetThumbImage(Str(v)); }},
    };
    if (!table.Apply(*this, name, value)) CProgressUI::SetAttribute(name, value);
}

}  // namespace ui
