// The product configuration of the program: all products plus the common
// configuration, read from and written to "Configurations.xml" (or its
// "custom_" copy, as the application state decides).
//
// A file that cannot be read completely is reported with the file's name
// and the list refuses to save until a later load succeeds, so a partial
// tree never overwrites the user's file.
#pragma once

#include "app/ui/config/produkt_oppsett.h"

#include <functional>
#include <memory>

namespace mirvo::oppsett {

// The file to read (forSave false) or to write (forSave true).
using TCfgFileNameFn = std::function<std::u16string(bool forSave)>;
// getCfgFileName("Configurations.xml", forSave) of the application state.
TCfgFileNameFn defaultCfgFileName();

// The window whose product menu actions initCfgMenu fills.
class TCfgMenuAction {
public:
    virtual ~TCfgMenuAction() = default;
    virtual void setCaption(std::u16string_view caption) = 0;
    virtual void setTag(int tag) = 0;
    virtual void setVisible(bool visible) = 0;
};
class TCfgMenuWindow {
public:
    virtual ~TCfgMenuWindow() = default;
    // The action of that name, or none.
    virtual TCfgMenuAction* findAction(std::u16string_view name) = 0;
};

class TProduktOppsettListe : public TOppsettList<TProduktOppsett> {
public:
    static constexpr size_t kMaxMenuProducts = 15;

    // Creates the common configuration, then loads the file.
    explicit TProduktOppsettListe(TCfgFileNameFn fileName = defaultCfgFileName());

    using TOppsettBaseClass::load;
    using TOppsettBaseClass::save;

    TFellesOppsett& common() const { return *FCommon; }
    // Fails when the file cannot be opened, is damaged or incomplete, or
    // has another root. The products read before a failure stay.
    void load();
    // Writes the file when something changed (see the class comment).
    void save();
    // Whether the last load failed; saving is refused until one succeeds.
    bool loadFailed() const { return FLoadFailed; }

    TProduktOppsett& getProduktOppsett(size_t index) const { return (*this)[index]; }
    int indexOf(int32_t id) const;
    TProduktOppsett* itemById(int32_t id) const;
    // A new product with the largest ID plus 1 (1 for an empty list).
    TProduktOppsett& add();
    // The product must exist.
    void deleteProdukt(int32_t id);
    // First product of the group (of any group for pgNone); -1 when none.
    int32_t firstIdOf(TProduktGruppe group) const;
    // "ID=description" per product of the group (all for pgNone); products
    // without description are left out.
    void getProduktListe(std::vector<std::u16string>& lines, TProduktGruppe group) const;
    // "For mange produkter konfigurert! Kontakt Kavelin!" above 15 products.
    void initCfgMenu(TCfgMenuWindow& window) const;
    // The first product whose "Initial" field "LNTYPE" has the element's
    // "lntype" text as default (case ignored); 0 when none.
    int32_t findClosestProductID(const xml::TXMLElement& element) const;
    // The product whose description resembles the name most; -1 when none.
    int32_t findClosestProductID(std::u16string_view name) const;

    void clearChangeFlags() override;
    std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const override;

private:
    TCfgFileNameFn FFileName;
    std::unique_ptr<TFellesOppsett> FCommon;
    bool FLoadFailed = false;
};

// The one product configuration of the program.
TProduktOppsettListe& produktOppsett();
bool hasProduktOppsett();
void installProduktOppsett(std::unique_ptr<TProduktOppsettListe> list);
// Saves when changed, then frees. When saving fails the list stays and the
// error goes to the caller.
void freeProduktOppsett();

}  // namespace mirvo::oppsett
