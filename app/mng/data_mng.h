// The case ("sak") and the product default values, each a list of loan
// data with its file, and the data manager that owns both.
//
// Files are XML (root "file", one "product" per loan) and written
// atomically. A file that cannot be read (damaged, half written, from
// another product configuration) fails with a Norwegian message and leaves
// the data as it was.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/mng/product_data.h"
#include "app/ui/config/produkt_liste.h"

namespace mirvo::mng {

class TDataMng;

// Shows an error box: caption and text. Script errors come here.
using TErrorHandler = std::function<void(const std::u16string& caption, const std::u16string& text)>;

class TMultiProductData {
public:
    TMultiProductData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError);
    virtual ~TMultiProductData();
    TMultiProductData(const TMultiProductData&) = delete;
    TMultiProductData& operator=(const TMultiProductData&) = delete;

    const oppsett::TProduktOppsettListe& produkter() const { return FCfg; }
    size_t count() const { return FItems.size(); }
    TProductData& getItem(size_t index) const { return *FItems.at(index); }
    // The first loan of the product, or none.
    TProductData* itemByID(int32_t productID) const;
    bool changed() const;

    const std::filesystem::path& filename() const { return FFilename; }
    // Stores a different name, creates its folder when missing and fires
    // FOnFilenameChange.
    void setFilename(const std::filesystem::path& name);
    const std::filesystem::path& docDir() const { return FDocDir; }

    virtual std::filesystem::path defaultFileName() const = 0;
    virtual bool scriptsEnabled() const = 0;
    virtual std::unique_ptr<TProductData> newForProduct(int32_t productID) = 0;

    // The loans as the root element of a file.
    void saveXML(xml::TXMLElement& root) const;

    void showError(const std::u16string& caption, const std::u16string& text) const;
    // How long one field script may run before it is stopped.
    std::chrono::milliseconds scriptTimeLimit() const { return FScriptTimeLimit; }
    void setScriptTimeLimit(std::chrono::milliseconds limit) { FScriptTimeLimit = limit; }

    TDataItemEvent FOnEditChange;
    std::function<void()> FOnFilenameChange;
    std::function<void()> FOnFileLoaded;
    // Asked for every window of a loan being built; the handler may refuse.
    std::function<void(std::u16string_view windowID, bool& allowed)> FOnCanLoadSection;

protected:
    // The root of a complete file of this layout; a file that cannot be
    // read, is cut short or has another root fails naming the file.
    std::unique_ptr<xml::TXMLDoc> readFile(const std::filesystem::path& name) const;
    // Writes the list to a file atomically; with markSaved the loans count
    // as unchanged, once the file is written.
    void writeFile(const std::filesystem::path& name, bool markSaved) const;
    // The product elements of a file's root, each with its product ID;
    // fails for an element without one.
    std::vector<std::pair<int32_t, const xml::TXMLElement*>> productElements(const xml::TXMLElement& root) const;

    const oppsett::TProduktOppsettListe& FCfg;
    TErrorHandler FOnError;
    std::vector<std::unique_ptr<TProductData>> FItems;
    std::filesystem::path FFilename;
    std::filesystem::path FDocDir;
    std::chrono::milliseconds FScriptTimeLimit{5000};
};

class TProductsDefaultData;

// The open case.
class TPortfolioData : public TMultiProductData {
public:
    TPortfolioData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError, const TProductsDefaultData* defaults,
                   std::filesystem::path caseDir);

    // Optionally a new default file name; removes the loans (no events);
    // optionally adds one loan.
    void reset(bool newFileName, bool addEmpty);
    // Appends a loan; product 0 means the product of the last loan, or the
    // first configured product when the case is empty.
    TProductData& add(int32_t productID);
    void deleteItem(size_t index);

    // Reads a case file, then sets the file name and fires FOnFileLoaded.
    void load(const std::filesystem::path& name);
    // Writes to the given file (which becomes the case's file name) or to
    // the case's own file name.
    void save(const std::filesystem::path& name = {});
    // Writes the case to a file without taking its name.
    void dump(const std::filesystem::path& name) const;

    void releaseInputConnections();
    void refreshConfigAndDefaults();

    const TProductsDefaultData* defaults() const { return FDefaults; }
    // The next free "Sak" + n + ".mvs" in the case folder.
    std::filesystem::path defaultFileName() const override;
    bool scriptsEnabled() const override { return true; }
    std::unique_ptr<TProductData> newForProduct(int32_t productID) override;

private:
    const TProductsDefaultData* FDefaults;
    std::filesystem::path FCaseDir;
};

// The user's default values: one entry per configured product.
class TProductsDefaultData : public TMultiProductData {
public:
    TProductsDefaultData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError, std::filesystem::path file);

    // One entry per configured product in configuration order, then the
    // file when it exists (FOnFileLoaded fires).
    void update();
    void save();

    std::filesystem::path defaultFileName() const override { return FFile; }
    bool scriptsEnabled() const override { return false; }
    std::unique_ptr<TProductData> newForProduct(int32_t productID) override;

private:
    std::filesystem::path FFile;
};

// The data manager of the run: the open case and the default values.
class TDataMng {
public:
    // defaultsFile: "Defaults.xml" in the user folder; caseDir: where new
    // cases are named.
    TDataMng(const oppsett::TProduktOppsettListe& cfg, std::filesystem::path defaultsFile,
             std::filesystem::path caseDir, TErrorHandler onError);

    TPortfolioData& current() { return *FCurrent; }
    TProductsDefaultData& defaults() { return *FDefaults; }

private:
    std::unique_ptr<TProductsDefaultData> FDefaults;
    std::unique_ptr<TPortfolioData> FCurrent;
};

}  // namespace mirvo::mng
