#include "app/frame/input/input_wnd.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dlg/msgbox.h"
#include "app/dlg/widget_names.h"
#include "app/frame/input/input_controls.h"
#include "app/mng/product_data.h"
#include "app/ui/script/variants.h"
#include "app/ui/fmt/numtext.h"
#include "common/text/numtext.h"
#include "app/ui/qt_text.h"

namespace mirvo::mng {

using kavelin::activex::variantNumber;
using kavelin::activex::variantText;
using oppsett::TCtrlKind;
using oppsett::TCtrlState;
namespace kf = kavelin::fmt;

TWndMode wndModeOf(int neededWndMode) {
    return neededWndMode == 2 ? TWndMode::wmDefaultsInput : TWndMode::wmNormalInput;
}

QColor rowBorderColor() { return QColor(206, 222, 236); }
QColor readonlyBackColor() { return kf::readonlyColor(); }

namespace {

using kavelin::text::qs;

std::u16string kindNumber(TCtrlKind kind) { return kavelin::text::intText(int(kind)); }

// Configured pixels are Qt's device-independent pixels: the platform scales
// them to the screen, so no factor is applied here.
QRect box(int x, int y, int w, int h) { return QRect(x, y, std::max(w, 0), std::max(h, 0)); }

// The content panel of an element: the parent's colour, a bottom border for
// field rows, a filled strip for separators in the design view; a click
// focuses the element.
class TRowPanel : public QWidget {
public:
    enum TLook { lkPlain, lkRow, lkFilled };
    TRowPanel(QWidget* parent, TLook look, std::function<void()> onClick)
        : QWidget(parent), FLook(look), FOnClick(std::move(onClick)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (FLook == lkPlain) return;
        QPainter p(this);
        if (FLook == lkFilled) p.fillRect(rect(), rowBorderColor());
        else p.fillRect(0, height() - 1, width(), 1, rowBorderColor());
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (FOnClick) FOnClick();
        QWidget::mousePressEvent(e);
    }

private:
    TLook FLook;
    std::function<void()> FOnClick;
};

QVBoxLayout* stackOf(QWidget* wnd) {
    if (auto* l = qobject_cast<QVBoxLayout*>(wnd->layout())) return l;
    auto* l = new QVBoxLayout(wnd);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->setAlignment(Qt::AlignTop);
    return l;
}

void checkFlow(const oppsett::TSkjermElementOppsett& e) {
    if (e.panelFlow() != oppsett::TFlowKind::flNewLine) throw EData(u"Ikke implementert!");
}

}  // namespace

// ---- TWndElement ------------------------------------------------------------------

TWndElement::TWndElement(TWndElements& owner, TElementList& parent, const oppsett::TSkjermElementOppsett* source)
    : FOwner(owner), FParent(parent), FMode(parent.mode()), FDataSource(source) {
    const bool filled = FMode == TWndMode::wmDesigning && dynamic_cast<const oppsett::TSkilleElementOppsett*>(source);
    const bool row = dynamic_cast<const oppsett::TInputElementOppsett*>(source) != nullptr;
    FContentPanel = new TRowPanel(parent.wnd(), filled ? TRowPanel::lkFilled : row ? TRowPanel::lkRow : TRowPanel::lkPlain,
                                  [this] { FOwner.SetFocused(this); });
    dlg::setName(FContentPanel, TWndElements::nextControlName().toUtf8().constData());
}

TWndElement::~TWndElement() {
    if (FOwner.FFocused == this) FOwner.FFocused = nullptr;
    delete FContentPanel;
}

bool TWndElement::visible() const { return !FContentPanel->isHidden(); }

void TWndElement::setVisible(bool) { throw EData(u"Ugyldig endring av Visible property!"); }

std::u16string TWndElement::description() const { return FDataSource ? FDataSource->ID() : std::u16string(); }

int TWndElement::index() const { return FParent.indexOf(*this); }

void TWndElement::moveTo(int index) {
    const int from = this->index();
    if (from < 0) return;
    FParent.moveElement(size_t(from), size_t(std::clamp(index, 0, int(FParent.count()) - 1)));
}

// ---- TElementList --------------------------------------------------------------------

TElementList::TElementList(TWndElements* owner, QWidget* wnd, TWndMode mode) : FMode(mode), FWnd(wnd), FOwner(owner) {
    stackOf(wnd);
}

TElementList::~TElementList() { clearElements(); }

int TElementList::indexOf(const TWndElement& e) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == &e) return int(i);
    return -1;
}

void TElementList::clearElements() {
    while (!FItems.empty()) FItems.pop_back();
}

void TElementList::insertElement(std::unique_ptr<TWndElement> e, size_t at) {
    stackOf(FWnd)->insertWidget(int(at), e->contentPanel());
    FItems.insert(FItems.begin() + std::ptrdiff_t(at), std::move(e));
}

void TElementList::removeElement(TWndElement& e) {
    const int i = indexOf(e);
    if (i >= 0) FItems.erase(FItems.begin() + i);
}

void TElementList::moveElement(size_t from, size_t to) {
    if (from >= FItems.size() || to >= FItems.size() || from == to) return;
    auto e = std::move(FItems[from]);
    FItems.erase(FItems.begin() + std::ptrdiff_t(from));
    QVBoxLayout* stack = stackOf(FWnd);
    stack->removeWidget(e->contentPanel());
    stack->insertWidget(int(to), e->contentPanel());
    FItems.insert(FItems.begin() + std::ptrdiff_t(to), std::move(e));
}

// ---- TWndElements -----------------------------------------------------------------

TWndElements::TWndElements(QWidget* panel, TWndMode mode) : TElementList(this, panel, mode) {}

TWndElements::~TWndElements() {
    FFocused = nullptr;
    clearElements();
}

std::unique_ptr<TWndElements> TWndElements::create(oppsett::TWndKind kind, QWidget* panel, TWndMode mode) {
    if (kind == oppsett::TWndKind::wkChangesArray) return std::make_unique<TChangeWndElements>(panel, mode);
    return std::make_unique<TStdWndElements>(panel, mode);
}

QString TWndElements::nextControlName() {
    static int counter = 0;
    return QStringLiteral("ctl") + QString::number(++counter);
}

std::vector<TLabelAndField*> TWndElements::fields() const {
    std::vector<TLabelAndField*> out;
    for (const auto& e : FItems) {
        if (auto* place = dynamic_cast<TLabelAndFieldExt*>(e.get())) {
            for (size_t i = 0; i < place->elementList().count(); ++i)
                out.push_back(static_cast<TLabelAndField*>(&place->elementList().item(i)));
        } else if (auto* f = dynamic_cast<TLabelAndField*>(e.get())) {
            out.push_back(f);
        }
    }
    return out;
}

void TWndElements::deleteElement(TWndElement& e) {
    if (&e.parentList() == this) removeElement(e);
    else e.parentList().removeElement(e);
}

void TWndElements::SetFocused(TWndElement* e) {
    FFocused = e;
    if (e && FOnFocus) FOnFocus(*e);
}

bool TWndElements::anyVisibleFields() const {
    for (TLabelAndField* f : fields()) {
        if (!f->visible()) continue;
        auto* place = dynamic_cast<TLabelAndFieldAltList*>(&f->parentList());
        if (!place || place->link().visible()) return true;
    }
    return false;
}

TDataControl* TWndElements::findControl(std::u16string_view id) { return inputFieldByID(id); }

TDataControl* TWndElements::addRowControl(TChangeDataItem& row) {
    auto* changes = dynamic_cast<TChangeWndElements*>(this);
    if (!changes) return nullptr;
    TChangeArrayField* field = changes->addNewItem(row.id());
    if (field) field->setChangeDate(row.date());
    return field;
}

void TWndElements::moveRow(size_t from, size_t to) { moveElement(from, to); }

void TWndElements::beginUpdate() {
    if (FUpdateDepth++ == 0) FWnd->setUpdatesEnabled(false);
}

void TWndElements::endUpdate() {
    if (FUpdateDepth > 0 && --FUpdateDepth == 0) FWnd->setUpdatesEnabled(true);
}

// ---- TStdWndElements --------------------------------------------------------------

void TStdWndElements::loadFromConfig(const oppsett::TInputOppsett& window) {
    FDataSource = &window;
    beginUpdate();
    FInLoading = true;
    try {
        clearElements();
        FChooserRight = 0;
        for (size_t i = 0; i < window.count() && FChooserRight == 0; ++i)
            if (auto* place = window.place(i))
                for (size_t j = 0; j < place->count(); ++j)
                    if (!(*place)[j].unitText().empty()) {
                        FChooserRight = (*place)[j].unitPos().X - 15;
                        break;
                    }
        for (size_t i = 0; i < window.count(); ++i) {
            if (auto* place = window.place(i)) append<TLabelAndFieldExt>(*this, *this, *place);
            else if (auto* line = window.separator(i)) append<TSpacedLine>(*this, *this, *line);
            else throw EData(u"Ukjent type skjermelement!");
        }
    } catch (...) {
        FInLoading = false;
        endUpdate();
        throw;
    }
    FInLoading = false;
    endUpdate();
}

TLabelAndField* TStdWndElements::inputFieldByID(std::u16string_view id) const {
    for (TLabelAndField* f : fields())
        if (f->ID() == id) return f;
    return nullptr;
}

// ---- TChangeWndElements -------------------------------------------------------------

void TChangeWndElements::loadFromConfig(const oppsett::TInputOppsett& window) {
    FDataSource = &window;
    FInLoading = true;
    clearElements();
    FAvailableItems.clear();
    FCommonUnitPos = 9999;
    for (size_t i = 0; i < window.count(); ++i) {
        const auto* place = window.place(i);
        if (!place || place->count() == 0) continue;
        const oppsett::TInputElementOppsett& first = (*place)[0];
        if (first.state() <= TCtrlState::csDisabled) continue;
        FAvailableItems.push_back(first.ID() + u"=" + first.labelText());
        FCommonUnitPos = std::min(FCommonUnitPos, first.unitText().empty() ? first.inputPos().X - 15 : first.unitPos().X);
    }
    // The design view shows one row per field of the window.
    if (FMode == TWndMode::wmDesigning)
        for (size_t i = 0; i < window.count(); ++i)
            if (const auto* place = window.place(i); place && place->count() > 0) addNewItem((*place)[0].ID());
    FInLoading = false;
}

TLabelAndField* TChangeWndElements::inputFieldByID(std::u16string_view id) const {
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        if (auto* f = dynamic_cast<TLabelAndField*>(it->get()); f && f->ID() == id) return f;
    return nullptr;
}

TChangeArrayField* TChangeWndElements::addNewItem(std::u16string_view id) {
    if (!FDataSource) return nullptr;
    const oppsett::TInputElementOppsett* field = id.empty() ? nullptr : FDataSource->getInputElement(id);
    if (!field) field = FDataSource->getFirstInput();
    if (!field) return nullptr;
    return &append<TChangeArrayField>(*this, *field);
}

TChangeArrayField* TChangeWndElements::row(size_t index) const {
    return index < FItems.size() ? dynamic_cast<TChangeArrayField*>(FItems[index].get()) : nullptr;
}

namespace {
// The date control is 79 pixels plus room for its calendar button.
constexpr int kDateX = 2, kDateW = 79 + 14, kDateWDesign = 72, kColumnGap = 6;
}

int TChangeWndElements::rowShift(const oppsett::TInputElementOppsett& field) const {
    const int dateRight = kDateX + (FMode == TWndMode::wmDesigning ? kDateWDesign : kDateW) + kColumnGap;
    return std::max(0, dateRight - field.labelPos().X);
}

TChangeWndElements::TColumns TChangeWndElements::columns() const {
    const oppsett::TInputElementOppsett* first = FDataSource ? FDataSource->getFirstInput() : nullptr;
    if (!first) return {kDateX, kDateX + kDateW + kColumnGap, 200};
    const int shift = rowShift(*first);
    return {kDateX, first->labelPos().X + shift, first->inputPos().X + shift};
}

// ---- TSpacedLine -------------------------------------------------------------------

TSpacedLine::TSpacedLine(TWndElements& owner, TElementList& parent, const oppsett::TSkilleElementOppsett& source)
    : TCtrlElement(owner, parent, &source) {
    checkFlow(source);
    FContentPanel->setFixedHeight(source.panelDim().h + 1);
    FContentPanel->setMinimumWidth(source.panelDim().w);
    FInitiated = true;
}

std::u16string TSpacedLine::description() const { return u"Skillelinje " + FDataSource->ID(); }

// ---- TLabelAndField ----------------------------------------------------------------

TLabelAndField::TLabelAndField(TWndElements& owner, TElementList& parent, const oppsett::TInputElementOppsett& source)
    : TCtrlElement(owner, parent, &source), FField(&source), FID(source.ID()), FCtrlKind(source.kind()),
      FCaption(source.labelText()) {
    checkFlow(source);
    FReadonly = FMode == TWndMode::wmDesigning ||
                (FMode == TWndMode::wmNormalInput && source.state() < TCtrlState::csInput);
    FContentPanel->setFixedHeight(source.panelDim().h + 1);
    FContentPanel->setMinimumWidth(source.panelDim().w);
    if (FMode != TWndMode::wmDesigning) {
        const oppsett::TRect m = source.getContentMargins();
        FContentPanel->setContentsMargins(m.Left, m.Top, std::max(0, m.Right), std::max(0, m.Bottom));
    }
    buildControls();
    FVisible = visibleByConfig();
    FContentPanel->setVisible(FVisible);
    FInitiated = true;
}

TLabelAndField::~TLabelAndField() = default;

bool TLabelAndField::visibleByConfig() const {
    switch (FMode) {
        case TWndMode::wmDesigning: return true;
        case TWndMode::wmDefaultsInput: return FField->showInDefaultValuesDlg();
        default: return FField->state() == TCtrlState::csReadonly || FField->state() == TCtrlState::csInput;
    }
}

void TLabelAndField::buildControls() {
    delete FLabelCtrl;
    delete FFieldCtrl;
    delete FUnitCtrl;
    FFieldCtrl = nullptr;
    QWidget* panel = FContentPanel;
    const oppsett::TInputElementOppsett& f = *FField;
    const QString ctlName = TWndElements::nextControlName();

    FLabelCtrl = new QLabel(qs(FCaption), panel);
    FLabelCtrl->setAttribute(Qt::WA_TransparentForMouseEvents);
    dlg::setName(FLabelCtrl, (ctlName + QStringLiteral("Label")).toUtf8().constData());

    const std::u16string& fmt = f.inputFmt();
    switch (FCtrlKind) {
        case TCtrlKind::ckText: {
            auto* e = new kf::TAlfaEdit(panel, f.inputMaxLength());
            QObject::connect(e, &kf::TFmtEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckNum: {
            const bool grouping = fmt.find(u'T') != std::u16string::npos;
            const int decimals = fmt.size() > 1 && fmt[1] >= u'0' && fmt[1] <= u'9' ? fmt[1] - u'0' : 0;
            const bool negative = fmt.find(u'-') != std::u16string::npos;
            const bool hideZero = fmt.find(u'h') != std::u16string::npos;
            auto* e = new kf::TNumEdit(panel, grouping, decimals, negative, hideZero, f.inputMaxLength());
            QObject::connect(e, &kf::TFmtEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckMask:
        case TCtrlKind::ckPeriod: {
            auto* e = new kf::TMalEdit(panel, fmt, f.inputMaxLength());
            QObject::connect(e, &kf::TFmtEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckDatetime: {
            auto* e = new kf::TDatetimeEdit(panel, fmt.empty() ? u"DD.MM.YYYY" : fmt);
            e->setCalendarEnabled(FMode != TWndMode::wmDesigning);
            QObject::connect(e, &kf::TFmtEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckDropDown: {
            auto* e = new kf::TDropDownMenuEdit(panel);
            e->setChoices(f.inputChoices());
            QObject::connect(e, &kf::TDropDownMenuEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo: {
            auto* e = new kf::TRadioGroupEdit(panel, f.inputChoices(), FCtrlKind == TCtrlKind::ckYesNo ? 2 : 99);
            QObject::connect(e, &kf::TRadioGroupEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        case TCtrlKind::ckMemo: {
            auto* e = new kf::TMemoEdit(panel, f.inputMaxLength());
            QObject::connect(e, &kf::TMemoEdit::userChanged, panel, [this] { fireEditChange(); });
            FFieldCtrl = e;
            break;
        }
        default:
            throw EData(u"Ukjent type element! (" + kindNumber(FCtrlKind));
    }
    dlg::setName(FFieldCtrl, (ctlName + qs(FID)).toUtf8().constData());
    FFieldCtrl->setAccessibleDescription(qs(FCaption));
    if (!f.hint().empty()) FFieldCtrl->setToolTip(qs(f.hint()));
    QString help = qs(f.helpID());
    if (!help.isEmpty() && FMode == TWndMode::wmDefaultsInput) help += QStringLiteral("_Default");
    FFieldCtrl->setProperty("helpKeyword", help);
    if (auto* line = qobject_cast<QLineEdit*>(FFieldCtrl); line && FCtrlKind != TCtrlKind::ckNum)
        line->setAlignment((f.inputAlign() == oppsett::TAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft) |
                           Qt::AlignVCenter);
    FLabelCtrl->setBuddy(FFieldCtrl);

    FUnitCtrl = new QLabel(qs(f.unitText()), panel);
    FUnitCtrl->setAttribute(Qt::WA_TransparentForMouseEvents);
    dlg::setName(FUnitCtrl, (ctlName + QStringLiteral("Unit")).toUtf8().constData());
    FUnitCtrl->setVisible(!f.unitText().empty());

    placeControls();
    SetReadonly(FReadonly);
    FLastText.clear();
    FLabelCtrl->show();
    FFieldCtrl->show();
}

void TLabelAndField::placeControls() {
    const oppsett::TInputElementOppsett& f = *FField;
    const int dx = shiftX();
    FLabelCtrl->adjustSize();
    FLabelCtrl->move(f.labelPos().X + dx, f.labelPos().Y);
    FFieldCtrl->setGeometry(box(f.inputPos().X + dx, f.inputPos().Y, f.inputDim().w, f.inputDim().h));
    FUnitCtrl->adjustSize();
    FUnitCtrl->move(f.unitPos().X + dx, f.unitPos().Y);
    // Rows keep room for a unit text placed right of the configured row.
    FContentPanel->setMinimumWidth(
        std::max({f.panelDim().w + dx, FFieldCtrl->geometry().right() + 4,
                  FUnitCtrl->isHidden() ? 0 : FUnitCtrl->geometry().right() + 4}));
}

TOleVariant TLabelAndField::value() const {
    switch (FCtrlKind) {
        case TCtrlKind::ckText:
        case TCtrlKind::ckMask:
        case TCtrlKind::ckPeriod:
        case TCtrlKind::ckDatetime:
            return TOleVariant::fromText(static_cast<kf::TFmtEdit*>(FFieldCtrl)->value());
        case TCtrlKind::ckNum:
            return TOleVariant::fromDouble(static_cast<kf::TNumEdit*>(FFieldCtrl)->number().value_or(0));
        case TCtrlKind::ckDropDown:
            return TOleVariant::fromText(static_cast<kf::TDropDownMenuEdit*>(FFieldCtrl)->selectedValue());
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo:
            return TOleVariant::fromText(static_cast<kf::TRadioGroupEdit*>(FFieldCtrl)->selectedValue());
        case TCtrlKind::ckMemo:
            return TOleVariant::fromText(static_cast<kf::TMemoEdit*>(FFieldCtrl)->value());
        default:
            throw EData(u"Ukjent type element! (" + kindNumber(FCtrlKind));
    }
}

void TLabelAndField::setValue(const TOleVariant& v) {
    const bool none = v.type() == VT_EMPTY || v.type() == VT_NULL;
    const std::u16string text = none ? std::u16string() : variantText(v.v);
    switch (FCtrlKind) {
        case TCtrlKind::ckText:
        case TCtrlKind::ckMask:
        case TCtrlKind::ckPeriod:
            static_cast<kf::TFmtEdit*>(FFieldCtrl)->showText(text);
            break;
        case TCtrlKind::ckDatetime:
            static_cast<kf::TDatetimeEdit*>(FFieldCtrl)->showDate(text);
            break;
        case TCtrlKind::ckNum: {
            auto* e = static_cast<kf::TNumEdit*>(FFieldCtrl);
            if (none || text.empty()) {
                e->showText(u"");
                break;
            }
            double d = 0;
            try {
                d = variantNumber(v.v);
            } catch (const std::exception&) {
                d = 0;  // a value that is no number shows 0
            }
            e->showNumber(d);
            break;
        }
        case TCtrlKind::ckDropDown:
            static_cast<kf::TDropDownMenuEdit*>(FFieldCtrl)->showValue(text);
            break;
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo:
            static_cast<kf::TRadioGroupEdit*>(FFieldCtrl)->showValue(text);
            break;
        case TCtrlKind::ckMemo:
            static_cast<kf::TMemoEdit*>(FFieldCtrl)->showText(text);
            break;
        default:
            throw EData(u"Ukjent type element! (" + kindNumber(FCtrlKind));
    }
    FLastText = variantText(value().v);
}

void TLabelAndField::SetReadonly(bool on) {
    // The design view shows every control read-only, without the grey-blue.
    const bool designing = FMode == TWndMode::wmDesigning;
    FReadonly = on || designing;
    const bool greyed = !designing;
    switch (FCtrlKind) {
        case TCtrlKind::ckText:
        case TCtrlKind::ckNum:
        case TCtrlKind::ckMask:
        case TCtrlKind::ckPeriod:
            static_cast<kf::TFmtEdit*>(FFieldCtrl)->setReadonlyLook(FReadonly, greyed);
            break;
        case TCtrlKind::ckDatetime: {
            auto* e = static_cast<kf::TDatetimeEdit*>(FFieldCtrl);
            e->setReadonlyLook(FReadonly, greyed);
            e->setCalendarEnabled(!designing);
            break;
        }
        case TCtrlKind::ckDropDown:
            static_cast<kf::TDropDownMenuEdit*>(FFieldCtrl)->setReadonly(FReadonly, greyed);
            break;
        case TCtrlKind::ckRadioGroup:
        case TCtrlKind::ckYesNo:
            static_cast<kf::TRadioGroupEdit*>(FFieldCtrl)->setReadonly(FReadonly, greyed);
            break;
        case TCtrlKind::ckMemo:
            static_cast<kf::TMemoEdit*>(FFieldCtrl)->setReadonly(FReadonly, greyed);
            break;
        default:
            throw EData(u"Ukjent type element! (" + kindNumber(FCtrlKind) + u")");
    }
}

void TLabelAndField::SetCaption(std::u16string_view caption) {
    FCaption = caption;
    FLabelCtrl->setText(qs(caption));
    FLabelCtrl->adjustSize();
    FFieldCtrl->setAccessibleDescription(qs(caption));
    if (FOwner.inLoading()) return;
    if (auto* alts = dynamic_cast<TLabelAndFieldAltList*>(&FParent)) alts->link().captionChanged(*this);
}

bool TLabelAndField::visible() const { return FVisible; }

void TLabelAndField::setVisible(bool on) {
    if (FMode == TWndMode::wmDesigning) on = true;
    FVisible = on;
    if (auto* alts = dynamic_cast<TLabelAndFieldAltList*>(&FParent)) {
        if (alts->link().hasAlternatives()) return;  // the place shows its active alternative
        FContentPanel->setVisible(on);
        alts->link().updateHeight();
    } else {
        FContentPanel->setVisible(on);
    }
}

std::u16string TLabelAndField::description() const { return FID + u" (" + FCaption + u")"; }

bool TLabelAndField::hasAltSibling() const {
    auto* alts = dynamic_cast<TLabelAndFieldAltList*>(&FParent);
    return alts && alts->count() > 1;
}

void TLabelAndField::fireEditChange() {
    if (FMode == TWndMode::wmDesigning) return;
    const std::u16string now = variantText(value().v);
    if (now == FLastText) return;
    FLastText = now;
    if (FOwner.FOnEditChange) FOwner.FOnEditChange(*this);
}

// ---- TLabelAndFieldAltList / TLabelAndFieldExt --------------------------------------------

TLabelAndField& TLabelAndFieldAltList::addField(const oppsett::TInputElementOppsett& e) {
    TLabelAndField& f = append<TLabelAndField>(*FOwner, *this, e);
    if (FMode != TWndMode::wmDesigning && FOwner->FOnInputSync) FOwner->FOnInputSync(f);
    return f;
}

TLabelAndFieldExt::TLabelAndFieldExt(TStdWndElements& owner, TElementList& parent,
                                     const oppsett::TInputElementAltOppsettListe& place)
    : TWndElement(owner, parent, nullptr), FPlace(&place) {
    FElementList = std::make_unique<TLabelAndFieldAltList>(&owner, FContentPanel, FMode, *this);
    int counted = 0;
    for (size_t i = 0; i < place.count(); ++i) {
        const oppsett::TInputElementOppsett& e = place[i];
        if (FMode == TWndMode::wmDefaultsInput && !e.showInDefaultValuesDlg()) continue;
        TLabelAndField& f = FElementList->addField(e);
        if (f.visibleByConfig()) ++counted;
    }
    FHasAlternatives = counted > 1 && FMode != TWndMode::wmDesigning;
    if (FHasAlternatives) {
        int index = 0;
        if (owner.FOnGetActiveAltSync) owner.FOnGetActiveAltSync(*this, index);
        if (index < 0 || index >= int(FElementList->count())) index = 0;
        FLabelChoicesEdit = new kf::TDropDownMenuEdit(FContentPanel);
        FLabelChoicesEdit->setFocusPolicy(Qt::ClickFocus);  // no tab stop
        dlg::setName(FLabelChoicesEdit, (TWndElements::nextControlName() + QStringLiteral("AltValg")).toUtf8().constData());
        updateChooserLines();
        QObject::connect(FLabelChoicesEdit, &kf::TDropDownMenuEdit::userChanged, FContentPanel, [this] {
            const auto value = kavelin::fmt::tryReadInteger(FLabelChoicesEdit->selectedValue());
            if (value) chooseAlternative(int(*value));
        });
        showAlternative(index);
    }
    updateHeight();
    FInitiated = true;
}

TLabelAndFieldExt::~TLabelAndFieldExt() { FElementList.reset(); }

TLabelAndField* TLabelAndFieldExt::activeAlt() const {
    if (FElementList->count() == 0) return nullptr;
    return static_cast<TLabelAndField*>(&FElementList->item(size_t(FHasAlternatives ? FActiveAltInx : 0)));
}

void TLabelAndFieldExt::updateChooserLines() {
    if (!FLabelChoicesEdit) return;
    std::vector<std::u16string> lines;
    for (size_t i = 0; i < FElementList->count(); ++i) {
        auto& f = static_cast<TLabelAndField&>(FElementList->item(i));
        if (f.visibleByConfig()) lines.push_back(kavelin::text::intText(int64_t(i)) + u"=" + f.caption());
    }
    FLabelChoicesEdit->setChoices(lines);
    FLabelChoicesEdit->showValue(kavelin::text::intText(FActiveAltInx));
}

void TLabelAndFieldExt::showAlternative(int index) {
    FActiveAltInx = index;
    for (size_t i = 0; i < FElementList->count(); ++i) {
        auto& f = static_cast<TLabelAndField&>(FElementList->item(i));
        f.FLabelCtrl->hide();
        f.contentPanel()->setVisible(int(i) == index);
    }
    TLabelAndField& active = *activeAlt();
    const oppsett::TInputElementOppsett& e = active.field();
    int width;
    if (e.unitPos().X != 0) {
        width = e.unitPos().X - e.labelPos().X - 15;
    } else {
        const int c = static_cast<TStdWndElements&>(FOwner).commonChooserRight();
        width = c == e.labelPos().X ? e.inputPos().X - 15 : c - e.labelPos().X;
    }
    // A unit text right of the input would stretch the chooser over the
    // input control: it ends before the input instead.
    const int x = e.labelPos().X - 3;
    if (e.inputPos().X > x && x + width > e.inputPos().X - 6) width = e.inputPos().X - 6 - x;
    FLabelChoicesEdit->setGeometry(box(x, e.inputPos().Y, width, e.inputDim().h));
    FLabelChoicesEdit->showValue(kavelin::text::intText(index));
    FLabelChoicesEdit->raise();
    FLabelChoicesEdit->show();
    updateHeight();
}

void TLabelAndFieldExt::chooseAlternative(int index) {
    if (!FHasAlternatives || index < 0 || index >= int(FElementList->count()) || index == FActiveAltInx) return;
    showAlternative(index);
    if (FOwner.FOnActiveAltChange) FOwner.FOnActiveAltChange(*this);
}

void TLabelAndFieldExt::captionChanged(TLabelAndField&) { updateChooserLines(); }

void TLabelAndFieldExt::updateHeight() {
    bool any = false;
    for (size_t i = 0; i < FElementList->count(); ++i)
        if (static_cast<TLabelAndField&>(FElementList->item(i)).visible()) any = true;
    if (FHasAlternatives) any = activeAlt() && activeAlt()->visibleByConfig();
    FContentPanel->setVisible(any);
}

bool TLabelAndFieldExt::visible() const { return !FContentPanel->isHidden(); }

std::u16string TLabelAndFieldExt::description() const {
    std::u16string d;
    for (size_t i = 0; i < FElementList->count(); ++i) {
        if (i) d += u" / ";
        d += FElementList->item(i).description();
    }
    return d;
}

// ---- TChangeArrayField ----------------------------------------------------------------

TChangeArrayField::TChangeArrayField(TChangeWndElements& owner, const oppsett::TInputElementOppsett& source)
    : TLabelAndField(owner, owner, source) {
    QWidget* panel = FContentPanel;
    FContentPanel->setContentsMargins(0, 0, 0, 0);
    const bool designing = FMode == TWndMode::wmDesigning;
    const QString name = TWndElements::nextControlName();

    FDateCtrl = new kf::TDatetimeEdit(panel, u"DD.MM.YYYY");
    FDateCtrl->setGeometry(kDateX, 2, designing ? kDateWDesign : kDateW, 19);
    FDateCtrl->setProperty("helpKeyword", QStringLiteral("hlpNblnEndrGenerelt"));
    dlg::setName(FDateCtrl, (name + QStringLiteral("Endringsdato")).toUtf8().constData());
    if (designing) {
        FDateCtrl->setCalendarEnabled(false);
        FDateCtrl->QLineEdit::setText(QStringLiteral("Endr.dato"));
        FDateCtrl->setReadonlyLook(true, false);
    }
    QObject::connect(FDateCtrl, &kf::TFmtEdit::userChanged, panel, [this] {
        if (FOwner.FOnRowDateChange && FMode != TWndMode::wmDesigning) FOwner.FOnRowDateChange(*this);
    });

    FLabelChoicesEdit = new kf::TDropDownMenuEdit(panel);
    FLabelChoicesEdit->setProperty("helpKeyword", QStringLiteral("hlpNblnEndr"));
    dlg::setName(FLabelChoicesEdit, (name + QStringLiteral("HvaEndres")).toUtf8().constData());
    FLabelChoicesEdit->setChoices(owner.availableItems());
    FLabelChoicesEdit->FOnDropDown = [this] { FLabelChoicesEdit->setChoices(changeOwner().availableItems()); };
    QObject::connect(FLabelChoicesEdit, &kf::TDropDownMenuEdit::userChanged, panel,
                     [this] { chooseField(FLabelChoicesEdit->selectedValue()); });
    if (designing) FLabelChoicesEdit->setReadonly(true, false);

    FDelBtnCtrl = new QPushButton(QStringLiteral("X"), panel);
    dlg::setName(FDelBtnCtrl, (name + QStringLiteral("Slett")).toUtf8().constData());
    FDelBtnCtrl->setToolTip(QStringLiteral("Slett endringen"));
    FDelBtnCtrl->setFocusPolicy(Qt::ClickFocus);
    QPalette p = FDelBtnCtrl->palette();
    p.setColor(QPalette::ButtonText, QColor(139, 0, 0));
    FDelBtnCtrl->setPalette(p);
    QFont bold = FDelBtnCtrl->font();
    bold.setBold(true);
    FDelBtnCtrl->setFont(bold);
    FDelBtnCtrl->setEnabled(!designing);
    QObject::connect(FDelBtnCtrl, &QPushButton::clicked, panel, [this] { deleteRow(); });
    // Made after the row panel was shown, so shown explicitly.
    FDateCtrl->show();
    FLabelChoicesEdit->show();
    FDelBtnCtrl->show();

    rebuildForField();
}

TChangeWndElements& TChangeArrayField::changeOwner() const { return static_cast<TChangeWndElements&>(FOwner); }

int TChangeArrayField::shiftX() const { return changeOwner().rowShift(*FField); }

void TChangeArrayField::rebuildForField() {
    // The label and unit of the base follow the field; the chooser stands
    // where the label would be.
    if (FFieldCtrl == nullptr || FFieldCtrl->property("builtFor").toString() != qs(FID)) buildControls();
    FFieldCtrl->setProperty("builtFor", qs(FID));
    const oppsett::TInputElementOppsett& f = *FField;
    const int dx = shiftX();
    FLabelCtrl->hide();
    const int valueX = f.inputPos().X + dx;
    int chooserW = changeOwner().commonUnitPos() - f.labelPos().X - 15;
    if (f.labelPos().X + dx + chooserW > valueX - 6) chooserW = valueX - 6 - f.labelPos().X - dx;
    FLabelChoicesEdit->setGeometry(box(f.labelPos().X + dx, 2, chooserW, 19));
    FLabelChoicesEdit->showValue(FID);
    FFieldCtrl->setGeometry(box(valueX, f.inputPos().Y, f.inputDim().w - 17, f.inputDim().h));
    FDelBtnCtrl->setGeometry(box(valueX + f.inputDim().w - 19, f.inputPos().Y - 1, 20, f.inputDim().h + 2));
    FDelBtnCtrl->raise();
    QWidget::setTabOrder(FDateCtrl, FLabelChoicesEdit);
    QWidget::setTabOrder(FLabelChoicesEdit, FFieldCtrl);
}

std::u16string TChangeArrayField::changeDate() const {
    if (FMode == TWndMode::wmDesigning) return {};
    return FDateCtrl->value();
}

void TChangeArrayField::setChangeDate(std::u16string_view date) {
    if (FMode != TWndMode::wmDesigning) FDateCtrl->showDate(date);
}

bool TChangeArrayField::changeDateFullyEdited() const { return FDateCtrl->fullyEdited(); }

int TChangeArrayField::changeIndex() const {
    const int i = index();
    return i < 0 ? int(FParent.count()) : i;
}

void TChangeArrayField::chooseField(std::u16string_view id) {
    if (FInChangeSource || FMode == TWndMode::wmDesigning) return;
    const oppsett::TInputElementOppsett* field = changeOwner().dataSource()->getInputElement(id);
    if (!field || field == FField) return;
    FInChangeSource = true;
    FField = field;
    FID = field->ID();
    FCtrlKind = field->kind();
    FCaption = field->labelText();
    FDataSource = field;
    FReadonly = FMode == TWndMode::wmNormalInput && field->state() < TCtrlState::csInput;
    rebuildForField();
    FInChangeSource = false;
    if (FOwner.FOnRowFieldChange) FOwner.FOnRowFieldChange(*this, *field);
}

void TChangeArrayField::deleteRow() {
    if (FMode == TWndMode::wmDesigning) return;
    if (FOwner.FOnElementRemove) FOwner.FOnElementRemove(*this);
    FOwner.deleteElement(*this);  // frees this row
}

std::u16string TChangeArrayField::description() const { return u"Endring: " + TLabelAndField::description(); }

// ---- TSectionView ---------------------------------------------------------------------

TSectionView::TSectionView(TDataSection& section, QWidget* panel) : FSection(section) {
    const TWndMode mode = wndModeOf(section.parent().GetneededWndMode());
    FWnd = TWndElements::create(section.kind(), panel, mode);
    TWndElements& w = *FWnd;
    auto edited = [this] {
        if (FOnEdited) FOnEdited();
    };
    w.FOnEditChange = [this, edited](TLabelAndField& f) {
        guarded([&] { FSection.editChanged(f); });
        edited();
    };
    w.FOnInputSync = [this](TLabelAndField& f) { guarded([&] { FSection.syncInput(f); }); };
    w.FOnGetActiveAltSync = [this](TLabelAndFieldExt& place, int& index) {
        auto* fixed = dynamic_cast<TStdDataSection*>(&FSection);
        TDataItem* item = fixed ? fixed->shownAlternative(place.place()) : nullptr;
        if (!item) return;
        for (size_t i = 0; i < place.elementList().count(); ++i)
            if (&static_cast<TLabelAndField&>(place.elementList().item(i)).field() == &item->cfg()) index = int(i);
    };
    w.FOnActiveAltChange = [this, edited](TLabelAndFieldExt& place) {
        auto* fixed = dynamic_cast<TStdDataSection*>(&FSection);
        TLabelAndField* active = place.activeAlt();
        if (!fixed || !active) return;
        guarded([&] { fixed->switchAlternative(place.place(), active->ID()); });
        edited();
    };
    auto rowItem = [this](TLabelAndField& row) -> TChangeDataItem* {
        for (size_t i = 0; i < FSection.count(); ++i)
            if (FSection.getItem(i).control() == &row) return dynamic_cast<TChangeDataItem*>(&FSection.getItem(i));
        return nullptr;
    };
    w.FOnElementRemove = [this, rowItem, edited](TLabelAndField& row) {
        auto* changes = dynamic_cast<TChangesDataSection*>(&FSection);
        TChangeDataItem* item = rowItem(row);
        if (!changes || !item) return;
        guarded([&] { changes->deleteRow(changes->rowIndex(*item)); });
        edited();
    };
    w.FOnRowDateChange = [this, rowItem, edited](TLabelAndField& f) {
        auto& row = static_cast<TChangeArrayField&>(f);
        TChangeDataItem* item = rowItem(row);
        if (!item) return;
        const std::u16string date = row.changeDate();
        const bool complete = row.changeDateFullyEdited();
        guarded([&] {
            item->setDate(date, complete);
            // An incomplete date is not calculated yet.
            if (complete || date.empty()) FSection.editChanged(row);
        });
        edited();
    };
    w.FOnRowFieldChange = [this, rowItem, edited](TChangeArrayField& row, const oppsett::TInputElementOppsett& field) {
        TChangeDataItem* item = rowItem(row);
        if (!item) return;
        guarded([&] {
            item->changeField(field);
            item->connect(&row);
            FSection.editChanged(row);
        });
        edited();
    };
    FWnd->loadFromConfig(section.cfg());
    section.attachWindow(FWnd.get());
}

TSectionView::~TSectionView() {
    FSection.attachWindow(nullptr);
    FWnd.reset();
}

void TSectionView::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const kavelin::utils::EKavelin& e) {
        dlg::showError(FWnd->wnd(), QStringLiteral("Feil"), qs(e.message()));
    } catch (const std::exception& e) {
        dlg::showError(FWnd->wnd(), QStringLiteral("Feil"), QString::fromUtf8(e.what()));
    }
}

}  // namespace mirvo::mng
