#include "app/frame/laan_list.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dlg/msgbox.h"
#include "app/dlg/widget_names.h"
#include "app/ui/config/produkt_liste.h"
#include "app/ui/fmt/numtext.h"
#include "app/ui/qt_text.h"

namespace mirvo::frame {
namespace {

using mirvo::dlg::setName;

constexpr int kEntryHeight = 26;
constexpr int kEntrySpacing = 2;
constexpr int kPanelMargin = 4;
constexpr int kMaxPanelEntries = 6;

using kavelin::text::qs;

void fill(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// Frames are taken out at once and freed later: the click that removes one
// may still be running in one of its own controls.
void discard(QWidget* w) {
    if (!w) return;
    if (QWidget* parent = w->parentWidget(); parent && parent->layout()) parent->layout()->removeWidget(w);
    w->hide();
    w->deleteLater();
}

TProduktGruppe configGroupOf(int32_t id) {
    if (!oppsett::hasProduktOppsett()) return TProduktGruppe::pgNedbetlån;
    const oppsett::TProduktOppsett* p = oppsett::produktOppsett().itemById(id);
    return p ? p->Produktgruppe() : TProduktGruppe::pgNone;
}

}  // namespace

QString rateText(double r1, double r2, double r3) {
    QString text;
    for (double r : {r1, r2, r3}) {
        if (r == 0) continue;
        if (!text.isEmpty()) text += '/';
        text += qs(kavelin::fmt::writeNumberTrimmed(r, 3, false));
    }
    return (text.isEmpty() ? QStringLiteral("0") : text) + '%';
}

QString amountText(double amount) { return qs(kavelin::fmt::writeNumber(amount, 0, true)) + QStringLiteral(",-"); }

// ---- controls ------------------------------------------------------------------

void TLineCtrl::setKind(TKind kind) {
    if (kind == FKind) return;
    FKind = kind;
    QWidget::update();
}

void TLineCtrl::paintEvent(QPaintEvent*) {
    if (FKind == lkNone) return;
    QPainter p(this);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    const int cx = width() / 2, cy = height() / 2;
    switch (FKind) {
        case lkSelected:  // a horizontal line to the entry and the lower half of a vertical one
            p.drawLine(cx, cy, width(), cy);
            p.drawLine(cx, cy, cx, height());
            break;
        case lkThrough: p.drawLine(cx, 0, cx, height()); break;
        case lkHorizontal: p.drawLine(0, cy, width(), cy); break;
        case lkNone: break;
    }
}

TFrameListItem::TFrameListItem(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
    setFixedHeight(kEntryHeight);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    lnItemPoint = new TLineCtrl(this);
    setName(lnItemPoint, "lnItemPoint");
    lnItemPoint->setFixedWidth(10);
    txNr = new QLabel(this);
    setName(txNr, "txNr");
    txNr->setFixedWidth(22);
    txProdukt = new QLabel(this);
    setName(txProdukt, "txProdukt");
    QFont bold = txProdukt->font();
    bold.setBold(true);
    txProdukt->setFont(bold);
    txProdukt->setMinimumWidth(60);
    btnDropDown = new QToolButton(this);
    setName(btnDropDown, "btnDropDown");
    btnDropDown->setArrowType(Qt::DownArrow);
    btnDropDown->setAutoRaise(true);
    btnDropDown->setToolTip(QStringLiteral("Velg produkt"));
    btnDropDown->setFocusPolicy(Qt::NoFocus);
    txBelop = new QLabel(this);
    setName(txBelop, "txBelop");
    txBelop->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txBelop->setMinimumWidth(92);
    txRente = new QLabel(this);
    setName(txRente, "txRente");
    txRente->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txRente->setMinimumWidth(70);
    btnDelete = new QToolButton(this);
    setName(btnDelete, "btnDelete");
    btnDelete->setText(QStringLiteral("✕"));
    btnDelete->setAutoRaise(true);
    btnDelete->setToolTip(QStringLiteral("Slett lånet"));
    btnDelete->setFocusPolicy(Qt::NoFocus);
    lnMsg = new TLineCtrl(this);
    setName(lnMsg, "lnMsg");
    lnMsg->setFixedWidth(8);
    h->addWidget(lnItemPoint);
    h->addWidget(txNr);
    h->addWidget(txProdukt, 1);
    h->addWidget(btnDropDown);
    h->addWidget(txBelop);
    h->addWidget(txRente);
    h->addWidget(btnDelete);
    h->addWidget(lnMsg);
    // The click area over the labels; the buttons stay on top of it.
    laListItemWrapper = new QWidget(this);
    setName(laListItemWrapper, "laListItemWrapper");
    laListItemWrapper->setCursor(Qt::PointingHandCursor);
    laListItemWrapper->lower();
    btnDropDown->raise();
    btnDelete->raise();
    setColour(kEntryNormal);
}

void TFrameListItem::setColour(const QColor& colour) {
    FColour = colour;
    fill(this, colour);
}

void TFrameListItem::arrange(bool several, TProduktGruppe group) {
    const bool ramme = group == TProduktGruppe::pgRammelån;
    lnItemPoint->setVisible(several);
    txNr->setVisible(several);
    btnDelete->setVisible(several);
    lnMsg->setVisible(several);
    txRente->setVisible(!ramme);
    layout()->setContentsMargins(several ? 0 : 8, 0, several ? 0 : 4, 0);
    txBelop->setMinimumWidth(ramme ? 120 : 92);
}

void TFrameListItem::mousePressEvent(QMouseEvent* e) {
    if (onClick) onClick();
    e->accept();
}

void TFrameListItem::enterEvent(QEnterEvent* e) {
    QFrame::enterEvent(e);
    if (onEnter) onEnter();
}

void TFrameListItem::leaveEvent(QEvent* e) {
    QFrame::leaveEvent(e);
    if (onLeave) onLeave();
}

void TFrameListItem::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    laListItemWrapper->setGeometry(rect());
}

TFrameListAdd::TFrameListAdd(QWidget* parent) : QFrame(parent) {
    setName(this, "frameListAdd");
    setFixedHeight(kEntryHeight);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(10, 0, 0, 0);
    pnAddItem = new QFrame(this);
    setName(pnAddItem, "pnAddItem");
    pnAddItem->setFixedWidth(40);
    pnAddItem->setCursor(Qt::PointingHandCursor);
    pnAddItem->setToolTip(QStringLiteral("Legg til lån i saken  (Ctrl+L)"));
    fill(pnAddItem, kEntryNormal);
    pnAddItem->setFrameShape(QFrame::StyledPanel);
    auto* l = new QHBoxLayout(pnAddItem);
    l->setContentsMargins(0, 0, 0, 0);
    auto* plus = new QLabel(QStringLiteral("  +"), pnAddItem);
    QFont f = plus->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    plus->setFont(f);
    l->addWidget(plus);
    h->addWidget(pnAddItem);
    h->addStretch();
}

void TFrameListAdd::mousePressEvent(QMouseEvent* e) {
    if (onClick) onClick();
    e->accept();
}

TIconPanel::TIconPanel(QWidget* parent) : QWidget(parent) { setFixedWidth(16); }

void TIconPanel::setOk(bool ok) {
    FOk = ok;
    QWidget::update();
}

void TIconPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), FOk ? kIconOk : kIconError);
    const double w = width(), h = height(), s = 1.0;
    if (FOk) {
        p.setPen(QPen(Qt::white, 1.3 * s));
        QPainterPath tick;
        tick.moveTo(w / 4, h / 2 + s);
        tick.lineTo(w / 2 - 2 * s, 3 * h / 4);
        tick.lineTo(w - 3 * s, h / 4 + s);
        p.drawPath(tick);
    } else {
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("!"));
    }
}

TFrameItemMsg::TFrameItemMsg(QWidget* parent) : QFrame(parent) {
    setFixedHeight(kEntryHeight);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    icon = new TIconPanel(this);
    setName(icon, "iconMsg");
    laMsg = new QLabel(this);
    setName(laMsg, "laMsg");
    laMsg->setWordWrap(false);
    h->addWidget(icon);
    h->addWidget(laMsg, 1);
}

void TFrameItemMsg::setMessage(const QString& message) {
    const bool ok = message.isEmpty() || message == QStringLiteral("OK");
    const QString text = ok ? QStringLiteral("OK") : message;
    icon->setOk(ok);
    laMsg->setText(QStringLiteral("  ") + text);
    laMsg->setToolTip(text);
    fill(this, ok ? kMsgOk : kMsgError);
}

// ---- one entry -------------------------------------------------------------------

TLånItemCtrlLink::TLånItemCtrlLink(TLånListCtrlMng& mng, TFrameListItem* frame) : FMng(mng), FFrame(frame) {
    updateRates();
    setLånebeløp(0);
}

int TLånItemCtrlLink::Indeks() const { return FMng.indexOf(*this); }

void TLånItemCtrlLink::setProduktGruppe(TProduktGruppe g) {
    FProduktGruppe = g;
    arrange();
}

void TLånItemCtrlLink::setBeskrivelse(const std::u16string& text) {
    FBeskrivelse = text;
    FFrame->txProdukt->setText(qs(text));
}

void TLånItemCtrlLink::setLånebeløp(double amount) {
    FLånebeløp = amount;
    FFrame->txBelop->setText(amountText(amount));
}

void TLånItemCtrlLink::setRentesats(int step, double rate) {
    FRentesatser.at(size_t(step - 1)) = rate;
    updateRates();
}

void TLånItemCtrlLink::updateRates() {
    const QString text = rateText(FRentesatser[0], FRentesatser[1], FRentesatser[2]);
    FFrame->txRente->setText(text);
    // Several rates in a smaller font.
    QFont f = FFrame->txBelop->font();
    if (text.contains('/')) f.setPixelSize(std::max(6, QFontInfo(f).pixelSize() - 2));
    FFrame->txRente->setFont(f);
}

void TLånItemCtrlLink::setErrorMsg(const std::u16string& message) {
    if (message == FErrorMsg) return;
    FErrorMsg = message;
    FMng.renewMessages();
}

void TLånItemCtrlLink::arrange() { FFrame->arrange(FMng.severalLoansMode(), FProduktGruppe); }

// ---- the list ----------------------------------------------------------------------

TLånListCtrlMng::TLånListCtrlMng(QWidget* owner, QFrame* listPanel, QFrame* msgPanel, TGroupOf groupOf)
    : FOwner(owner), FPanelList(listPanel), FPanelMsg(msgPanel), FGroupOf(groupOf ? std::move(groupOf) : configGroupOf) {
    FListLayout = new QVBoxLayout(listPanel);
    FListLayout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    FListLayout->setSpacing(kEntrySpacing);
    FListLayout->addStretch();
    FMsgLayout = new QVBoxLayout(msgPanel);
    FMsgLayout->setContentsMargins(0, kPanelMargin, 2, kPanelMargin);
    FMsgLayout->setSpacing(kEntrySpacing);
    FMsgLayout->addStretch();
    fill(listPanel, kEntryNormal);

    FHiddenFocusHelper = new QLineEdit(listPanel);
    setName(FHiddenFocusHelper, "FHiddenFocusHelper");
    FHiddenFocusHelper->setGeometry(0, 0, 10, 10);
    FHiddenFocusHelper->setFrame(false);
    FHiddenFocusHelper->setReadOnly(true);
    FHiddenFocusHelper->setStyleSheet(QStringLiteral("background: transparent; color: transparent; border: none;"));
    FHiddenFocusHelper->lower();
    FHiddenFocusHelper->installEventFilter(this);
    FPanelMsg->hide();
    resizePanel();
}

TLånListCtrlMng::~TLånListCtrlMng() {
    if (FHiddenFocusHelper) FHiddenFocusHelper->removeEventFilter(this);
}

void TLånListCtrlMng::setImportMode(bool on) {
    FImportMode = on;
    update();
}

bool TLånListCtrlMng::severalLoansMode() const {
    return !FImportMode && (FItems.empty() || FItems.front()->produktGruppe() == TProduktGruppe::pgNedbetlån);
}

void TLånListCtrlMng::beginUpdate() {
    if (FUpdating++ == 0) {
        FPanelList->setUpdatesEnabled(false);
        FPanelMsg->setUpdatesEnabled(false);
    }
}

void TLånListCtrlMng::endUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) {
        FPanelList->setUpdatesEnabled(true);
        FPanelMsg->setUpdatesEnabled(true);
    }
}

namespace {
struct TUpdate {
    TLånListCtrlMng& m;
    explicit TUpdate(TLånListCtrlMng& mng) : m(mng) { m.beginUpdate(); }
    ~TUpdate() { m.endUpdate(); }
};
}  // namespace

void TLånListCtrlMng::clear() {
    TUpdate u(*this);
    FHovered = nullptr;
    for (auto& item : FItems) discard(item->frame());
    FItems.clear();
    FSelectedIndex = -1;
    showAddEntry(false);
    renewMessages();
    resizePanel();
}

TLånItemCtrlLink& TLånListCtrlMng::addItem() {
    TLånItemCtrlLink* entry;
    {
        TUpdate u(*this);
        showAddEntry(false);
        auto* frame = new TFrameListItem(FPanelList);
        setName(frame, ("listItem" + std::to_string(++FCurrentRandomNameIndex)).c_str());
        FItems.push_back(std::make_unique<TLånItemCtrlLink>(*this, frame));
        entry = FItems.back().get();
        FListLayout->insertWidget(int(FItems.size()) - 1, frame);
        frame->txNr->setText(QStringLiteral("%1 :").arg(FItems.size()));
        frame->onClick = [this, entry] { clicked(*entry); };
        frame->onEnter = [this, entry] { hovered(entry); };
        frame->onLeave = [this] { hovered(nullptr); };
        QObject::connect(frame->btnDropDown, &QToolButton::clicked, this, [this, entry] { openProductChoice(*entry); });
        QObject::connect(frame->btnDelete, &QToolButton::clicked, this, [this, entry] { deleteItem(*entry); });
        entry->arrange();
        frame->show();
        recolour();
        if (FOnAddItem) FOnAddItem(*entry);
        update();
        renewMessages();
        resizePanel();
    }
    if (FSelectedIndex < 0) selectIndex(indexOf(*entry));
    return *entry;
}

int TLånListCtrlMng::indexOf(const TLånItemCtrlLink& entry) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == &entry) return int(i);
    return -1;
}

TLånItemCtrlLink* TLånListCtrlMng::selectedItem() const {
    return FSelectedIndex >= 0 && FSelectedIndex < count() ? FItems[size_t(FSelectedIndex)].get() : nullptr;
}

void TLånListCtrlMng::setSelectedItem(TLånItemCtrlLink* entry) { selectIndex(entry ? indexOf(*entry) : -1); }

void TLånListCtrlMng::selectIndex(int index) {
    if (index < 0 || index >= count()) return;
    if (FPanelList->isVisible()) FHiddenFocusHelper->setFocus(Qt::OtherFocusReason);
    FSelectedIndex = index;
    recolour();
    renewLines();
    if (FOnFocusItem) FOnFocusItem(*FItems[size_t(index)]);
    renewMessages();
}

void TLånListCtrlMng::clicked(TLånItemCtrlLink& entry) {
    const int i = indexOf(entry);
    if (i == FSelectedIndex && listHasFocus()) openProductChoice(entry);
    else selectIndex(i);
}

bool TLånListCtrlMng::listHasFocus() const { return FHiddenFocusHelper->hasFocus(); }

void TLånListCtrlMng::recolour() {
    const bool focus = listHasFocus();
    for (size_t i = 0; i < FItems.size(); ++i) {
        TLånItemCtrlLink* e = FItems[i].get();
        QColor c = kEntryNormal;
        if (e == FHovered) c = kEntryFocused;
        else if (int(i) == FSelectedIndex) c = focus && !FHovered ? kEntryFocused : kEntrySelected;
        e->frame()->setColour(c);
    }
}

void TLånListCtrlMng::hovered(TLånItemCtrlLink* entry) {
    FHovered = entry;
    recolour();
}

void TLånListCtrlMng::deleteItem(TLånItemCtrlLink& entry) {
    const int index = indexOf(entry);
    if (index < 0) return;
    const int oldSelected = FSelectedIndex;
    if (FOnDeleteItem) FOnDeleteItem(entry);
    {
        TUpdate u(*this);
        if (FHovered == &entry) FHovered = nullptr;
        discard(entry.frame());
        FItems.erase(FItems.begin() + index);
        renumber();
        FSelectedIndex = -1;
    }
    if (FItems.empty()) {
        addItem();  // selects the new entry
    } else {
        int next = oldSelected;
        if (index < oldSelected) --next;
        selectIndex(std::clamp(next, 0, count() - 1));
    }
    update();
    renewMessages();
    resizePanel();
}

void TLånListCtrlMng::renumber() {
    for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->frame()->txNr->setText(QStringLiteral("%1 :").arg(i + 1));
}

void TLånListCtrlMng::showAddEntry(bool on) {
    if (on && !FAddFrame) {
        FAddFrame = new TFrameListAdd(FPanelList);
        FAddFrame->onClick = [this] { setSelectedItem(&addItem()); };
        FListLayout->insertWidget(int(FItems.size()), FAddFrame);
        FAddFrame->show();
    } else if (!on && FAddFrame) {
        discard(FAddFrame);
        FAddFrame = nullptr;
    }
}

void TLånListCtrlMng::update() {
    TUpdate u(*this);
    const bool several = severalLoansMode();
    showAddEntry(several);
    for (auto& e : FItems) e->arrange();
    renewLines();
    renewMessages();
    resizePanel();
}

void TLånListCtrlMng::renewLines() {
    const bool several = severalLoansMode();
    for (int i = 0; i < count(); ++i) {
        TLineCtrl::TKind k = TLineCtrl::lkNone;
        if (several && FSelectedIndex >= 0) {
            if (i == FSelectedIndex) k = TLineCtrl::lkSelected;
            else if (i > FSelectedIndex) k = TLineCtrl::lkThrough;
        }
        FItems[size_t(i)]->frame()->lnItemPoint->setKind(k);
    }
}

void TLånListCtrlMng::resizePanel() {
    const int rows = std::min(kMaxPanelEntries, std::max(1, count() + (FAddFrame ? 1 : 0)));
    FPanelList->setFixedHeight(2 * kPanelMargin + rows * kEntryHeight + (rows - 1) * kEntrySpacing + 2);
}

void TLånListCtrlMng::setMultiCalculationEnabled(bool on) {
    if (on == FMultiCalculationEnabled) return;
    FMultiCalculationEnabled = on;
    renewMessages();
}

TFrameItemMsg* TLånListCtrlMng::messageFrame(int index) const {
    return index >= 0 && index < int(FMsgFrames.size()) ? FMsgFrames[size_t(index)] : nullptr;
}

void TLånListCtrlMng::renewMessages() {
    TUpdate u(*this);
    const bool several = severalLoansMode();
    auto shown = [this](int i) { return FMultiCalculationEnabled || i == FSelectedIndex; };
    bool anyError = false;
    for (int i = 0; i < count(); ++i) {
        const std::u16string& m = FItems[size_t(i)]->ErrorMsg();
        anyError |= shown(i) && !m.empty() && m != u"OK";
    }
    const bool visible = anyError || !several;
    FPanelMsg->setVisible(visible);
    if (!visible) {
        for (auto& e : FItems) e->frame()->lnMsg->setKind(TLineCtrl::lkNone);
        return;
    }
    while (int(FMsgFrames.size()) > count()) {
        discard(FMsgFrames.back());
        FMsgFrames.pop_back();
    }
    while (int(FMsgFrames.size()) < count()) {
        auto* f = new TFrameItemMsg(FPanelMsg);
        setName(f, ("frameMsg" + std::to_string(FMsgFrames.size() + 1)).c_str());
        FMsgLayout->insertWidget(int(FMsgFrames.size()), f);
        FMsgFrames.push_back(f);
    }
    for (int i = 0; i < count(); ++i) {
        TFrameItemMsg* f = FMsgFrames[size_t(i)];
        f->setMessage(qs(FItems[size_t(i)]->ErrorMsg()));
        // A hidden frame keeps its row so the messages stay beside their loans.
        QSizePolicy sp = f->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        f->setSizePolicy(sp);
        f->setVisible(shown(i));
        FItems[size_t(i)]->frame()->lnMsg->setKind(several && shown(i) ? TLineCtrl::lkHorizontal : TLineCtrl::lkNone);
    }
}

void TLånListCtrlMng::openProductChoice(TLånItemCtrlLink& entry) {
    if (indexOf(entry) != FSelectedIndex) setSelectedItem(&entry);
    std::vector<std::u16string> lines;
    if (FOnGetProductList) FOnGetProductList(lines);
    QMenu menu(FOwner);
    menu.setObjectName(QStringLiteral("pmProdukter"));
    for (const std::u16string& line : lines) {
        const size_t eq = line.find(u'=');
        if (eq == std::u16string::npos) continue;
        const int32_t id = oppsett::parseInt(line.substr(0, eq));
        QAction* a = menu.addAction(qs(line.substr(eq + 1)));
        a->setData(id);
        a->setCheckable(true);
        a->setChecked(id == entry.ProduktID());
    }
    FChoiceOpen = true;
    QToolButton* button = entry.frame()->btnDropDown;
    QAction* chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height())));
    FChoiceOpen = false;
    if (chosen && indexOf(entry) >= 0) chooseProduct(entry, chosen->data().toInt());
}

void TLånListCtrlMng::chooseProduct(TLånItemCtrlLink& entry, int32_t produktID) {
    const TProduktGruppe group = FGroupOf(produktID);
    if (count() > 1 && group == TProduktGruppe::pgRammelån) {
        dlg::showError(FOwner, QStringLiteral("Advarsel!"),
                       QStringLiteral("Kan ikke velge et rammekredittprodukt ved beregning av flere lån! "
                                      "Opprett ny sak, og beregn produktet alene."));
        return;
    }
    entry.setProduktID(produktID);
    entry.setProduktGruppe(group);
    update();
    if (FOnItemChanged) FOnItemChanged(produktID, entry);
}

void TLånListCtrlMng::setShortInfo(int index, const TShortInfo& info) {
    if (index < 0 || index >= count()) return;
    TLånItemCtrlLink& e = getItem(index);
    const bool groupChanged = e.produktGruppe() != info.produktgruppe;
    e.setProduktID(info.produktID);
    e.setProduktGruppe(info.produktgruppe);
    e.setBeskrivelse(info.beskrivelse);
    e.setLånebeløp(info.beløp);
    e.setRentesats(1, info.rente1);
    e.setRentesats(2, info.rente2);
    e.setRentesats(3, info.rente3);
    if (groupChanged && index == 0) update();
}

void TLånListCtrlMng::setErrorMsg(int index, const std::u16string& message) {
    if (index >= 0 && index < count()) getItem(index).setErrorMsg(message);
}

bool TLånListCtrlMng::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FHiddenFocusHelper) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: recolour(); return false;
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(event);
            TLånItemCtrlLink* sel = selectedItem();
            if (k->key() == Qt::Key_Up) {
                if (FSelectedIndex > 0) selectIndex(FSelectedIndex - 1);
            } else if (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier)) {
                if (sel) openProductChoice(*sel);
            } else if (k->key() == Qt::Key_Down) {
                if (FSelectedIndex + 1 < count()) selectIndex(FSelectedIndex + 1);
            } else if (k->key() == Qt::Key_Space) {
                if (sel && !FChoiceOpen) openProductChoice(*sel);
            } else if (k->key() == Qt::Key_Delete) {
                if (sel && severalLoansMode()) deleteItem(*sel);
            } else {
                return false;
            }
            return true;
        }
        default: return false;
    }
}

}  // namespace mirvo::frame
