// The result frame of the main window: the key figures of the selected loan
// (or of the whole case), the options of the schedules and five tab pages
// with a grid each. The main manager fills it; the frame reports option and
// tab changes.
#pragma once

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QFrame;

namespace kavelin::fmt {
class TCustomKavelinEdit;
}

namespace mirvo::frame {

enum TReportPage { rpNedbet = 0, rpRentemargin = 1, rpNaverdi = 2, rpEffrnt = 3, rpTermbelop = 4 };
inline constexpr int kReportPageCount = 5;

// The detail level of a schedule handed to the library with its command.
inline constexpr int kFulltForlop = 99;
inline constexpr int kKunArssummer = 0;

class TFrameReports : public QWidget {
    Q_OBJECT
public:
    explicit TFrameReports(QWidget* parent = nullptr);

    // Tabs: hides a tab whose flag is false; when the active tab is hidden
    // the last visible one becomes active.
    void setVisibleTabs(const std::array<bool, kReportPageCount>& flags);
    int GettabPageCount() const { return kReportPageCount; }
    QString getTabPageCaption(int index) const;
    bool getTabPageVisible(int index) const;
    void SetactivePageIndex(int index);
    int activePageIndex() const;
    QTableWidget* grid(int index) const { return FGrids[size_t(index)]; }

    // Options.
    // 99 "Fullt forløp", N "Årssummer fra N. årsskifte", 0 "Årssummer".
    int forlopOption() const;
    bool arssummerChosen() const;
    bool fulltForlopChosen() const;
    // Selects "Fullt forløp" (the CSV export shows the whole course).
    void chooseFulltForlop();
    // The chosen change of the interest level as a value text ("3", "-1,5").
    std::u16string rentemarginValue() const;
    // The inflation field with one decimal and a decimal comma ("2,0").
    std::u16string inflasjonText() const;
    bool samletBeregning() const;
    void setSamletBeregning(bool on);

    // Layout set by the main manager.
    void setSamletChoiceVisible(bool visible);
    void setOptionsVisible(bool visible);
    void setKeyFiguresVisible(bool visible);
    bool keyFiguresVisible() const;

    // Key figures: pairs of a bold caption and a text, filled column by
    // column; maxColumns 0 means no limit.
    void clearKeyFigures();
    void setKeyFigureColumns(int maxColumns) { FKeyColumns = maxColumns; }
    void addKeyFigure(const QString& caption, const QString& text);
    int keyFigureCount() const { return FKeyCount; }
    QString keyFigureCaption(int index) const;
    QString keyFigureText(int index) const;

    // Suspends the frame's painting; nests.
    void beginUpdate();
    void endUpdate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void optionsChanged();
    void tabChanged(int index);

private:
    void pageChanged(int index);
    void updateOptionVisibility();
    void emitOptions();
    void updateSamletFonts();

    QFrame* FPnOptions = nullptr;
    QFrame* FPnKeyFigures = nullptr;
    QGridLayout* FKeyLayout = nullptr;
    QTabWidget* FTabs = nullptr;
    std::array<QWidget*, kReportPageCount> FPages{};
    std::array<QTableWidget*, kReportPageCount> FGrids{};
    std::array<bool, kReportPageCount> FVisible{true, true, true, true, true};
    QWidget* FForlopBox = nullptr;
    QRadioButton* FRbFullt = nullptr;
    QRadioButton* FRbFra = nullptr;
    QRadioButton* FRbArssummer = nullptr;
    kavelin::fmt::TCustomKavelinEdit* FEdAntAr = nullptr;
    QWidget* FInflasjonBox = nullptr;
    kavelin::fmt::TCustomKavelinEdit* FEdInflasjon = nullptr;
    QWidget* FRentemarginBox = nullptr;
    QComboBox* FCbRentemargin = nullptr;
    QWidget* FSamletBox = nullptr;
    QRadioButton* FRbEnkelt = nullptr;
    QRadioButton* FRbSamlet = nullptr;
    void layoutKeyFigures();
    int keyFigureColumnsFor(int width) const;
    std::vector<std::pair<QLabel*, QLabel*>> FKeyLabels;
    int FKeyLayoutColumns = 0;
    int FKeyColumns = 2;
    int FKeyCount = 0;
    int FUpdating = 0;
    bool FLoading = false;
};

// The entries of "Endring av rentenivå": value "=" text, −2 % to +5 % in steps
// of 0,25 ("-0,25=-  0,25 %").
std::vector<std::u16string> rentemarginEntries();

}  // namespace mirvo::frame
