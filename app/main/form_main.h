// TformMain: the main window. Menus and toolbars driven by actions, the loan
// list and the input frame of the selected loan on the left, the result frame
// on the right, three window views, the about box, F1 routing, the
// registration panel and the calculator button.
//
// The window owns no case data: the loan list mirrors the loans of the open
// case of the data manager, the input frame shows the selected loan, and
// the case commands (new, open, save, save as, add a loan, closing) work on
// that case. Commands whose units are not part of the program (yet) stay
// disabled; the window never offers a command that would do nothing.
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
class TFrameLoanInput;
class TLånItemCtrlLink;
class TLånListCtrlMng;
}
namespace mirvo::mng {
class TDataItem;
class TDataMng;
class TPortfolioData;
}

namespace mirvo::main {

class TMainMng;
class TPortfolioCaseSource;

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
    // The data manager with the open case and the default values; required.
    mng::TDataMng* data = nullptr;
    // The configuration cannot be changed (the default values are shown only).
    bool cfgReadOnly = false;
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
    frame::TLånListCtrlMng& lånList() { return *FLånList; }
    mng::TPortfolioData& sak();
    frame::TFrameLoanInput* inputFrame() const { return FFrameInput.get(); }

    // Case commands.
    void newCase();
    void cmdNy();
    void cmdHent();
    // True when the case was written.
    bool cmdLagre();
    bool cmdLagreSom();
    // Saves the case under the name; false (after a logged message) on failure.
    bool lagreTil(const std::filesystem::path& file);
    void cmdLeggTil();
    // Whether the case may be closed: asks "Lagre endringer?" when it has
    // changes, also when it was never saved.
    bool askSaveChanges();
    // Whether the case has changes not written to its file.
    bool caseChanged() const;
    // Opens a case file; a file that cannot be read is reported and the
    // case stays as it was.
    void openCase(const QString& fileName);
    void selectLoan(int index);
    // The "Std.verdier" dialog of the product behind a product action.
    void editDefaults(int productIndex);

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
    void wireCase();
    void fillListFromCase();
    void releaseInput();
    void recalc(const mng::TDataItem* item);
    // Runs a step of a user action; a failure is shown in an error box.
    template <class F>
    void guarded(const QString& caption, F&& step);

    TFormMainSetup FSetup;
    bool FCreating = true;
    bool FInResize = false;
    bool FLoading = false;
    bool FAutoFocusDirty = false;
    // Loans added, deleted or given another product since the case was
    // loaded or saved (the loans' own flags tell of edited values).
    bool FStructureChanged = false;
    // The last edit of the case was recomputed already; the input frame's
    // report of the same edit then needs no second recompute.
    bool FEditRecomputed = false;
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
    std::unique_ptr<frame::TLånListCtrlMng> FLånList;
    std::unique_ptr<frame::TFrameLoanInput> FFrameInput;
    std::unique_ptr<TPortfolioCaseSource> FCaseSource;
    std::unique_ptr<TMainMng> FMainMng;
};

}  // namespace mirvo::main
