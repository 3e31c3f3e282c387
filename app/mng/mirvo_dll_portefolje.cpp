// TPortefolje: the loans are owned here; the library portfolio only refers to
// their library objects, so it is always freed before them.
#include <stdexcept>

#include "app/mng/mirvo_dll.h"
#include "mirvo32.h"

namespace mirvo::dll {

TPortefolje::TPortefolje(int itemCount, uint32_t startCapacity) : FStartCapacity(startCapacity) {
    for (int i = 0; i < itemCount; ++i) add();
}

TPortefolje::~TPortefolje() {
    PFterminate(FHandle);
    FHandle = nullptr;
    for (auto& item : FItems) item->FPortefolje = nullptr;
    // FItems is destroyed after this body: the loans go after their portfolio.
}

TNedbetLaan& TPortefolje::add() {
    FItems.push_back(std::make_unique<TNedbetLaan>(FStartCapacity));
    FItems.back()->FPortefolje = this;
    loansChanged();
    return *FItems.back();
}

TNedbetLaan& TPortefolje::getItem(int inx) {
    if (inx < 0 || inx >= count())
        throw std::out_of_range("Listeindeks utenfor gyldig område (" + std::to_string(inx) + ")");
    return *FItems[size_t(inx)];
}

void TPortefolje::loansChanged() {
    PFterminate(FHandle);
    FHandle = nullptr;
    FError.reset();
    FInvalid = true;
}

std::u16string TPortefolje::getOutputFmt(std::u16string_view id, uint16_t param) {
    return request(id, param, true);
}

std::u16string TPortefolje::getOutput(std::u16string_view id, uint16_t param) {
    return request(id, param, false);
}

std::u16string TPortefolje::request(std::u16string_view id, uint16_t param, bool formatted) {
    if (FError) throw *FError;
    if (!FHandle) buildLibraryPortfolio();
    std::u16string funcID(id);
    std::u16string text;
    // A merged schedule that does not fit fails with a generated code of this
    // text instead of being cut. The library portfolio may keep that code as
    // its error, so the next attempt starts from a new one.
    bool rebuild = false;
    auto bufferFull = [&](uint32_t code) {
        std::u16string message(kErrorBuffLen + 1, u'\0');
        MVgeterror_w(uint16_t(code), message.data(), kErrorBuffLen);
        rebuild = std::u16string_view(message.c_str()) == u"For liten beregningsbuffer!";
        return rebuild;
    };
    uint32_t code = readResult(FStartCapacity, [&](char16_t* buffer, uint32_t capacity) {
        if (rebuild) {
            PFterminate(FHandle);
            FHandle = nullptr;
            buildLibraryPortfolio();
            rebuild = false;
        }
        return formatted ? PFgetfmtresult_w(FHandle, funcID.c_str(), param, buffer, capacity)
                         : PFgetresult_w(FHandle, funcID.c_str(), param, buffer, capacity);
    }, text, bufferFull);
    FInvalid = false;
    if (code == 0) return text;

    // The portfolio's own error text; failures it keeps no code for (a
    // merged schedule's) come as generated codes of the loan calculator.
    std::u16string message(kErrorBuffLen + 1, u'\0');
    PFgeterror_w(FHandle, message.data(), kErrorBuffLen);
    if (message[0] == 0) MVgeterror_w(uint16_t(code), message.data(), kErrorBuffLen);
    std::u16string shown(message.c_str());
    if (shown.empty()) shown = fallbackErrorText(uint16_t(code));
    FError.emplace(uint16_t(code), std::move(shown));
    throw *FError;
}

void TPortefolje::buildLibraryPortfolio() {
        // A loan without input gets an empty library object, so that the
    // library reports what is missing instead of meeting a null loan.
    std::vector<void*> loans;
    for (auto& item : FItems) loans.push_back(item->libraryObject());
    FHandle = PFinitialize();
    if (!FHandle) throw EBeregning(0, u"Kan ikke opprette porteføljeobjekt!");
    for (void* loan : loans) PFadd(FHandle, loan);
}

bool TPortefolje::anyErrors() {
    if (FInvalid) {
        try {
            request(u"EFFRNT", 0, true);
        } catch (const EBeregning&) {
            // kept in FError
        }
    }
    return FError.has_value();
}

}  // namespace mirvo::dll
