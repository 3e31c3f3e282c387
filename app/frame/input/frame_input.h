// The input frames of a loan: the installment-loan frame with the areas
// "Forutsetninger", "Endringer" and "Detaljer", and the framework-loan frame
// with one area per part. Each area shows one section of the loan through
// its window elements. A frame shows a loan of the case (normal mode) or the
// default values of a product (default-values mode, chosen by the loan).
//
// The loan must outlive its time in the frame: call clear() (or setLoan with
// another loan) before the loan is freed or rebuilt.
#pragma once

#include <QWidget>

#include <memory>
#include <string>
#include <vector>


class QFrame;
class QLabel;
class QPushButton;

// Only declarations here: the moc of this header cannot read the
// configuration headers (identifiers with Norwegian letters).
namespace mirvo::mng {
class TProductData;
class TSectionView;
class TWndElements;
enum class TWndMode;
}  // namespace mirvo::mng

namespace mirvo::frame {

class TFrameLoanInput : public QWidget {
    Q_OBJECT
public:
    ~TFrameLoanInput() override;

    // The loan shown (the `Data` property): hides the frame, detaches the
    // previous loan, attaches the new one's sections and shows the frame.
    void setLoan(mng::TProductData* loan);
    mng::TProductData* loan() const { return FLoan; }
    void clear() { setLoan(nullptr); }
    mng::TWndMode mode() const;

    // The window elements of a section while it is shown, or none.
    mng::TWndElements* sectionWnd(std::u16string_view sectionID) const;
    // The area of a section (header bar and body), or none.
    QWidget* area(std::u16string_view sectionID) const;

signals:
    // After every edit that the loan has taken (values, alternatives, rows).
    void edited();

protected:
    struct TArea {
        std::u16string sectionID;
        QWidget* box = nullptr;     // header and body
        QFrame* header = nullptr;   // the header bar
        QLabel* title = nullptr;
        QWidget* body = nullptr;    // the section's elements
        std::unique_ptr<mng::TSectionView> view;
    };

    explicit TFrameLoanInput(QWidget* parent);
    // Appends an area for a section.
    TArea& addArea(std::u16string_view sectionID, const QString& title, const char* headerName, const char* bodyName);
    // After the sections are attached: which areas show what.
    virtual void arrange() = 0;
    void afterEdit();
    void relayout();
    void styleHeader(TArea& a);
    // Shows the message of a failure in a logged box.
    void showFailure(const std::exception& e);

    std::vector<std::unique_ptr<TArea>> FAreas;
    mng::TProductData* FLoan = nullptr;
    int FMode = 0;  // a mng::TWndMode
};

// An installment loan: "Forutsetninger", "Endringer", "Detaljer".
class TFrameNblnInput : public TFrameLoanInput {
    Q_OBJECT
public:
    explicit TFrameNblnInput(QWidget* parent = nullptr);

    QPushButton* btnNyEndring() const { return FBtnNyEndring; }
    QPushButton* btnVisDetaljer() const { return FBtnVisDetaljer; }
    QPushButton* btnSkjulDetaljer() const { return FBtnSkjulDetaljer; }
    QWidget* changesHeader() const { return FChangesHeader; }
    // " Ny endring": shows the rows and adds one for the window's first field.
    void addChange();
    void showDetails(bool on);

protected:
    void arrange() override;

private:
    void updateChangesArea();

    QWidget* FChangesHeader = nullptr;
    QLabel* FHdrDato = nullptr;
    QLabel* FHdrHva = nullptr;
    QLabel* FHdrVerdi = nullptr;
    QPushButton* FBtnNyEndring = nullptr;
    QPushButton* FBtnVisDetaljer = nullptr;
    QPushButton* FBtnSkjulDetaljer = nullptr;
    bool FChangesOpened = false;
    bool FDetailsShown = false;
};

// A framework loan: one area per part "Part1" to "Part8"; parts 2 to 8 only
// when they have a visible field.
class TFrameRmlnInput : public TFrameLoanInput {
    Q_OBJECT
public:
    explicit TFrameRmlnInput(QWidget* parent = nullptr);

protected:
    void arrange() override;
};

// The frame for the loan's product group: the framework-loan frame for a
// framework loan, else the installment-loan frame. The loan is not set.
std::unique_ptr<TFrameLoanInput> createInputFrame(const mng::TProductData& loan, QWidget* parent = nullptr);

}  // namespace mirvo::frame
