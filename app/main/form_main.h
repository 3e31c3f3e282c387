// TformMain: the main window. Menus and toolbars driven by actions, the loan
// list and the input frame of the selected loan on the left, the result frame
// on the right, three window views, the about box, F1 routing, the
// registration panel and the calculator button.
//
// Commands whose units are not part of the program (yet) stay disabled; the
// window never offers a command that would do nothing.
#pragma once

#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>

#include "app/main/app_globals.h"
#include "app/ui/settings/app_state.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;

namespace mirvo::frame {
class TFrameReports;
}

namespace mirvo::main {

class TMainMng;
class TLoanListView;

enum class TShowMode { smUndefined, smMini, smStd, smMaxi };

// The window caption.
QString mainCaption(const std::u16string& version, const TCommandLine& cl, const std::u16string& caseFile,
                    bool caseFileExists);

// Outer window sizes of the views.
inline constexpr QSize kMiniSize{770, 550};
inline constexpr QSize kStdSize{980, 700};

struct TFormMainSetup {
    kavelin::utils::TAppMode appMode = kavelin::utils::TAppMode::Normal;
    int32_t cfgID = 0;
    bool cfgSaved = true;
    int32_t stdCfgID = 0;
    TCommandLine commandLine;
    // Register the program path and the case-file association (off in tests).
    bool registerShell = true;
    bool multiColumnKeyFigures = true;
};

class TformMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TformMain(TFormMainSetup setup, QWidget* parent = nullptr);
    ~TformMain() override;

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    TShowMode view() const { return FVisningsmodus; }
    void setView(TShowMode mode);
    TMainMng& mainMng() { return *FMainMng; }
    frame::TFrameReports& frameReports() { return *FFrameReports; }
    QWidget* pnReg() const;
    QWidget* pnInput() const;

    // Fills the product actions from the product configuration; raises
    // "For mange produkter konfigurert! Kontakt Kavelin!" above 15 products.
    void fillProductActions();
    void refreshAfterCfgChange();
    void updateCaption();

    // F1: the help topic of the focused control's keyword (property
    // "helpKeyword" of it or a parent), else the key goes on to the control.
    void helpF1();
    void showAbout();
    // The help window of the program shows a topic; none until it exists.
    using THelpHandler = std::function<void(const QString& keyword)>;
    static void setHelpHandler(THelpHandler handler);
    static const THelpHandler& helpHandler();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addAction(const char* name, const QString& caption, const QString& hint = {},
                       const QKeySequence& shortcut = {});
    void buildActions();
    void buildMenus();
    void buildToolbars();
    void buildPanels();
    void applyAppState();
    void setActionEnabled(const char* name, bool rule);
    void updateKalkulatorButton();
    void kalkulator();
    void applyOuterSize();

    TFormMainSetup FSetup;
    bool FCreating = true;
    bool FInResize = false;
    TShowMode FPreviousViewState = TShowMode::smUndefined;
    TShowMode FVisningsmodus = TShowMode::smUndefined;
    QSize FPendingOuterSize;  // a view's outer size still to apply
    QSet<QString> FUnwired;  // actions whose unit the program does not have yet
    QMenu* FMenuAppCfg = nullptr;
    QToolBar* FToolBarLeft = nullptr;
    QToolBar* FToolBarRight = nullptr;
    QLabel* FPnUpdate = nullptr;
    QFrame* FPnReg = nullptr;
    QScrollArea* FPnInput = nullptr;
    frame::TFrameReports* FFrameReports = nullptr;
    std::unique_ptr<TLoanListView> FLånList;
    std::unique_ptr<TMainMng> FMainMng;
};

}  // namespace mirvo::main
