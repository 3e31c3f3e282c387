// The loan list of the case: one entry per loan with its number, product,
// amount and rates, a product button and a delete button, a final "+" entry,
// and beside the list a message column with each loan's last calculation
// message. The list holds no case data: it reports every user action through
// its events and the main window writes the loans' short facts back.
#pragma once

#include <QColor>
#include <QFrame>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main/loan_list_view.h"

class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace mirvo::frame {

using main::TShortInfo;
using oppsett::TProduktGruppe;

class TLånListCtrlMng;

// Entry colours.
inline const QColor kEntryNormal{0xFF, 0xFB, 0xF0};       // $F0FBFF
inline const QColor kEntryFocused{0xFF, 0xD9, 0x40};      // $40D9FF
inline const QColor kEntrySelected{0xFE, 0xF2, 0x9C};     // $9CF2FE
inline const QColor kMsgOk{0xDF, 0xE9, 0xC9};             // $C9E9DF
inline const QColor kMsgError{0xEB, 0xD3, 0xC7};          // $C7D3EB
inline const QColor kIconOk{0x00, 0x64, 0x00};            // $006400
inline const QColor kIconError{0x9F, 0x00, 0x00};         // $00009F

// The rate label's text: every rate that is not 0 with up to three decimals
// and a decimal comma, joined by "/", then "%"; "0%" when all are 0.
QString rateText(double r1, double r2, double r3);
// The amount label's text: a whole number grouped with blanks, then ",-".
QString amountText(double amount);

// A connector line beside an entry (lnItemPoint, lnMsg).
class TLineCtrl : public QWidget {
public:
    enum TKind { lkNone, lkSelected, lkThrough, lkHorizontal };
    explicit TLineCtrl(QWidget* parent) : QWidget(parent) {}
    void setKind(TKind kind);
    TKind kind() const { return FKind; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TKind FKind = lkNone;
};

// One entry of the list.
class TFrameListItem : public QFrame {
public:
    explicit TFrameListItem(QWidget* parent);

    QLabel* txNr;
    QLabel* txProdukt;
    QLabel* txBelop;
    QLabel* txRente;
    QToolButton* btnDropDown;
    QToolButton* btnDelete;
    QWidget* laListItemWrapper;
    TLineCtrl* lnItemPoint;
    TLineCtrl* lnMsg;

    void setColour(const QColor& colour);
    QColor colour() const { return FColour; }
    // Several-loans layout (number, delete button, connector) or one loan;
    // installment loan (amount and rate) or framework loan (amount only).
    void arrange(bool several, TProduktGruppe group);

    std::function<void()> onClick, onEnter, onLeave;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QColor FColour;
};

// The "+" entry.
class TFrameListAdd : public QFrame {
public:
    explicit TFrameListAdd(QWidget* parent);
    QFrame* pnAddItem;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// The round icon of a message: a white tick ("OK") or a white "!".
class TIconPanel : public QWidget {
public:
    explicit TIconPanel(QWidget* parent);
    void setOk(bool ok);
    bool ok() const { return FOk; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool FOk = true;
};

// One message of the message column.
class TFrameItemMsg : public QFrame {
public:
    explicit TFrameItemMsg(QWidget* parent);
    TIconPanel* icon;
    QLabel* laMsg;
    void setMessage(const QString& message);
};

// One entry's data and its frame.
class TLånItemCtrlLink {
public:
    TLånItemCtrlLink(TLånListCtrlMng& mng, TFrameListItem* frame);

    TFrameListItem* frame() const { return FFrame; }
    int32_t ProduktID() const { return FProduktID; }
    void setProduktID(int32_t id) { FProduktID = id; }
    TProduktGruppe produktGruppe() const { return FProduktGruppe; }
    void setProduktGruppe(TProduktGruppe g);
    const std::u16string& Beskrivelse() const { return FBeskrivelse; }
    void setBeskrivelse(const std::u16string& text);
    double Lånebeløp() const { return FLånebeløp; }
    void setLånebeløp(double amount);
    double getRentesats(int step) const { return FRentesatser.at(size_t(step - 1)); }
    void setRentesats(int step, double rate);
    const std::u16string& ErrorMsg() const { return FErrorMsg; }
    void setErrorMsg(const std::u16string& message);
    int Indeks() const;

    // Lays the labels out for the list's mode and the product group.
    void arrange();

private:
    void updateRates();

    TLånListCtrlMng& FMng;
    TFrameListItem* FFrame;
    int32_t FProduktID = 0;
    std::array<double, 3> FRentesatser{};
    double FLånebeløp = 0;
    std::u16string FBeskrivelse;
    std::u16string FErrorMsg;
    TProduktGruppe FProduktGruppe = TProduktGruppe::pgNedbetlån;
};

class TLånListCtrlMng : public QObject, public main::TLoanListView {
public:
    using TEntryEvent = std::function<void(TLånItemCtrlLink& entry)>;
    // The product of an ID's group (from the product configuration).
    using TGroupOf = std::function<TProduktGruppe(int32_t produktID)>;

    TLånListCtrlMng(QWidget* owner, QFrame* listPanel, QFrame* msgPanel, TGroupOf groupOf = {});
    ~TLånListCtrlMng() override;

    void setImportMode(bool on);
    bool severalLoansMode() const;

    void beginUpdate();
    void endUpdate();
    void clear();
    TLånItemCtrlLink& addItem();
    int count() const override { return int(FItems.size()); }
    TLånItemCtrlLink& getItem(int index) const { return *FItems.at(size_t(index)); }
    int indexOf(const TLånItemCtrlLink& entry) const;
    TLånItemCtrlLink* selectedItem() const;
    void setSelectedItem(TLånItemCtrlLink* entry);
    int selectedIndex() const override { return FSelectedIndex; }
    void selectIndex(int index);
    void deleteItem(TLånItemCtrlLink& entry);
    void update();
    bool multiCalculationEnabled() const { return FMultiCalculationEnabled; }
    void setMultiCalculationEnabled(bool on) override;

    // The product choice of an entry: a pop-up of the products at its
    // button; choose() takes a product as the pop-up does.
    void openProductChoice(TLånItemCtrlLink& entry);
    void chooseProduct(TLånItemCtrlLink& entry, int32_t produktID);

    // The main manager's view of the list.
    void setShortInfo(int index, const TShortInfo& info) override;
    void setErrorMsg(int index, const std::u16string& message) override;

    QFrame* listPanel() const { return FPanelList; }
    QFrame* msgPanel() const { return FPanelMsg; }
    QLineEdit* focusHelper() const { return FHiddenFocusHelper; }
    QWidget* addEntry() const { return FAddFrame; }
    TFrameItemMsg* messageFrame(int index) const;

    std::function<void(std::vector<std::u16string>& lines)> FOnGetProductList;
    TEntryEvent FOnDeleteItem, FOnFocusItem, FOnAddItem;
    std::function<void(int32_t produktID, TLånItemCtrlLink& entry)> FOnItemChanged;

    // Called by the entries.
    void renewMessages();
    bool listHasFocus() const;
    void recolour();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showAddEntry(bool on);
    void renewLines();
    void renumber();
    void resizePanel();
    void clicked(TLånItemCtrlLink& entry);
    void hovered(TLånItemCtrlLink* entry);

    QWidget* FOwner;
    QFrame* FPanelList;
    QFrame* FPanelMsg;
    QVBoxLayout* FListLayout;
    QVBoxLayout* FMsgLayout;
    QLineEdit* FHiddenFocusHelper;
    std::vector<std::unique_ptr<TLånItemCtrlLink>> FItems;
    std::vector<TFrameItemMsg*> FMsgFrames;
    TFrameListAdd* FAddFrame = nullptr;
    TLånItemCtrlLink* FHovered = nullptr;
    int FSelectedIndex = -1;
    int FCurrentRandomNameIndex = 0;
    int FUpdating = 0;
    bool FMultiCalculationEnabled = false;
    bool FImportMode = false;
    bool FChoiceOpen = false;
    TGroupOf FGroupOf;
};

}  // namespace mirvo::frame
