#include "app/mng/data_mng.h"

#include <iostream>
#include <sstream>

#include "common/text/encoding.h"
#include "common/utils/file_utils.h"

namespace mirvo::mng {

using kavelin::utils::EKavelin;

namespace {

std::u16string fileText(const std::filesystem::path& name) { return name.u16string(); }

std::u16string errorText(const std::exception& e) {
    if (auto* k = dynamic_cast<const EKavelin*>(&e)) return k->message();
    return kavelin::text::fromUtf8(e.what());
}

// Whether the text ends with the root's end tag (or the root is empty):
// a file cut short while it was written does not.
bool endsComplete(std::string_view bytes, std::string_view rootName) {
    while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\n' || bytes.back() == '\r' ||
                              bytes.back() == '\t' || bytes.back() == '\0'))
        bytes.remove_suffix(1);
    const std::string endTag = "</" + std::string(rootName) + ">";
    if (bytes.ends_with(endTag)) return true;
    if (!bytes.ends_with("/>")) return false;
    // Only an empty root may close itself at the end.
    const size_t open = bytes.rfind('<');
    return open != std::string_view::npos && bytes.substr(open + 1).starts_with(rootName);
}

}  // namespace

// ---- TMultiProductData -------------------------------------------------------

TMultiProductData::TMultiProductData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError)
    : FCfg(cfg), FOnError(std::move(onError)) {}

TMultiProductData::~TMultiProductData() = default;

TProductData* TMultiProductData::itemByID(int32_t productID) const {
    for (const auto& item : FItems)
        if (item->productID() == productID) return item.get();
    return nullptr;
}

bool TMultiProductData::changed() const {
    for (const auto& item : FItems)
        if (item->changed()) return true;
    return false;
}

void TMultiProductData::setFilename(const std::filesystem::path& name) {
    if (name == FFilename) return;
    FFilename = name;
    FDocDir = name.parent_path();
    if (!FDocDir.empty()) std::filesystem::create_directories(FDocDir);
    if (FOnFilenameChange) FOnFilenameChange();
}

void TMultiProductData::showError(const std::u16string& caption, const std::u16string& text) const {
    if (FOnError) FOnError(caption, text);
    else std::cerr << kavelin::text::toUtf8(caption) << ": " << kavelin::text::toUtf8(text) << "\n";
}

void TMultiProductData::saveXML(xml::TXMLElement& root) const {
    for (const auto& item : FItems) item->save(root.getList(u"product").add());
}

std::unique_ptr<xml::TXMLDoc> TMultiProductData::readFile(const std::filesystem::path& name) const {
    const std::u16string prefix = u"Kan ikke lese filen \"" + fileText(name) + u"\": ";
    auto doc = std::make_unique<xml::TXMLDoc>();
    std::string bytes;
    try {
        bytes = kavelin::utils::readFileWithRetry(name);
    } catch (const std::exception& e) {
        throw EData(prefix + u"filen kan ikke åpnes (" + errorText(e) + u")");
    }
    try {
        std::istringstream in(bytes);
        doc->Load(in);
    } catch (const std::exception& e) {
        throw EData(prefix + u"filen er skadet (" + errorText(e) + u")");
    }
    if (!doc->root() || doc->root()->name() != u"file")
        throw EData(prefix + u"filen er ikke en fil av riktig type (rotelementet \"file\" mangler)");
    if (!endsComplete(bytes, "file")) throw EData(prefix + u"filen er ufullstendig (skrevet bare delvis)");
    return doc;
}

std::vector<std::pair<int32_t, const xml::TXMLElement*>> TMultiProductData::productElements(
    const xml::TXMLElement& root) const {
    std::vector<std::pair<int32_t, const xml::TXMLElement*>> result;
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        const xml::TXMLElement& product = root.getChildByIndex(i);
        if (product.name() != u"product") continue;
        const xml::TXMLElement* id = product.findChild(u"header\\produktID");
        const int32_t productID = id ? oppsett::parseInt(id->valueText()) : 0;
        if (productID <= 0) throw EData(u"Lån nr. " + kavelin::text::fromUtf8(std::to_string(result.size() + 1)) +
                                        u" i filen mangler produktkode");
        result.emplace_back(productID, &product);
    }
    return result;
}

void TMultiProductData::writeFile(const std::filesystem::path& name, bool markSaved) const {
    xml::TXMLDoc doc;
    doc.setFormattedOutput(false);
    saveXML(doc.getElement(u"file"));
    try {
        if (name.has_parent_path()) std::filesystem::create_directories(name.parent_path());
        doc.Save(name);
    } catch (const std::exception& e) {
        throw EData(u"Kan ikke lagre filen \"" + fileText(name) + u"\": " + errorText(e));
    }
    if (markSaved)
        for (const auto& item : FItems) item->clearChanged();
}

// ---- TPortfolioData -------------------------------------------------------------------

TPortfolioData::TPortfolioData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError,
                               const TProductsDefaultData* defaults, std::filesystem::path caseDir)
    : TMultiProductData(cfg, std::move(onError)), FDefaults(defaults), FCaseDir(std::move(caseDir)) {}

std::filesystem::path TPortfolioData::defaultFileName() const {
    return kavelin::utils::nextFreeFileName(FCaseDir, u"Sak", u".mvs");
}

std::unique_ptr<TProductData> TPortfolioData::newForProduct(int32_t productID) {
    return std::make_unique<TPortfolioProductData>(*this, productID);
}

void TPortfolioData::reset(bool newFileName, bool addEmpty) {
    if (newFileName) setFilename(defaultFileName());
    FItems.clear();
    if (addEmpty) add(0);
}

TProductData& TPortfolioData::add(int32_t productID) {
    if (productID == 0) {
        if (!FItems.empty()) productID = FItems.back()->productID();
        else if (FCfg.count() > 0) productID = FCfg.getProduktOppsett(0).ID();
        else throw EData(u"Ingen produkter er konfigurert");
    }
    FItems.push_back(newForProduct(productID));
    return *FItems.back();
}

void TPortfolioData::deleteItem(size_t index) {
    if (index >= FItems.size()) throw EData(u"Ugyldig lånenummer");
    FItems.erase(FItems.begin() + std::ptrdiff_t(index));
}

void TPortfolioData::load(const std::filesystem::path& name) {
    auto doc = readFile(name);
    // The loans are built aside and replace the case only when the whole
    // file was read.
    std::vector<std::unique_ptr<TProductData>> loans;
    try {
        for (auto [productID, element] : productElements(*doc->root())) {
            const oppsett::TProduktOppsett* product = FCfg.itemById(productID);
            if (!product)
                throw EData(u"Saken er laget med et annet produktoppsett: produkt " +
                            kavelin::text::fromUtf8(std::to_string(productID)) + u" finnes ikke her");
            const xml::TXMLElement* group = element->findChild(u"header\\produktgruppeID");
            if (group && oppsett::produktGruppeOf(oppsett::parseInt(group->valueText())) != product->Produktgruppe())
                throw EData(u"Saken er laget med et annet produktoppsett: produkt " +
                            kavelin::text::fromUtf8(std::to_string(productID)) + u" har en annen produktgruppe her");
            auto loan = newForProduct(productID);
            loan->load(*element);
            loans.push_back(std::move(loan));
        }
    } catch (const EKavelin& e) {
        throw EData(u"Kan ikke lese saken \"" + fileText(name) + u"\": " + e.message());
    }
    FItems = std::move(loans);
    setFilename(name);
    if (FOnFileLoaded) FOnFileLoaded();
}

void TPortfolioData::save(const std::filesystem::path& name) {
    std::filesystem::path target = name.empty() ? FFilename : name;
    if (target.empty()) target = defaultFileName();
    writeFile(target, true);
    setFilename(target);
}

void TPortfolioData::dump(const std::filesystem::path& name) const { writeFile(name, false); }

void TPortfolioData::releaseInputConnections() {
    for (auto& item : FItems) item->releaseInputConnections();
}

void TPortfolioData::refreshConfigAndDefaults() {
    for (auto& item : FItems) item->refreshConfigAndDefaults();
}

// ---- TProductsDefaultData ----------------------------------------------------------------

TProductsDefaultData::TProductsDefaultData(const oppsett::TProduktOppsettListe& cfg, TErrorHandler onError,
                                           std::filesystem::path file)
    : TMultiProductData(cfg, std::move(onError)), FFile(std::move(file)) {}

std::unique_ptr<TProductData> TProductsDefaultData::newForProduct(int32_t productID) {
    return std::make_unique<TProductDefaultData>(*this, productID);
}

void TProductsDefaultData::update() {
    std::vector<std::unique_ptr<TProductData>> entries;
    for (size_t i = 0; i < FCfg.count(); ++i) entries.push_back(newForProduct(FCfg.getProduktOppsett(i).ID()));
    FItems = std::move(entries);
    if (FFile.empty() || !std::filesystem::exists(FFile)) return;
    auto doc = readFile(FFile);
    // Entries of products the configuration no longer has are passed over.
    // The values are read into new entries first, so a damaged file leaves
    // the configured defaults in place.
    std::vector<std::unique_ptr<TProductData>> read;
    for (size_t i = 0; i < FCfg.count(); ++i) read.push_back(newForProduct(FCfg.getProduktOppsett(i).ID()));
    try {
        for (auto [productID, element] : productElements(*doc->root()))
            for (auto& entry : read)
                if (entry->productID() == productID) entry->load(*element);
    } catch (const EKavelin& e) {
        throw EData(u"Kan ikke lese standardverdiene i \"" + fileText(FFile) + u"\": " + e.message());
    }
    FItems = std::move(read);
    if (FOnFileLoaded) FOnFileLoaded();
}

void TProductsDefaultData::save() { writeFile(FFile, true); }

// ---- TDataMng -------------------------------------------------------------------------------

TDataMng::TDataMng(const oppsett::TProduktOppsettListe& cfg, std::filesystem::path defaultsFile,
                   std::filesystem::path caseDir, TErrorHandler onError)
    : FDefaults(std::make_unique<TProductsDefaultData>(cfg, onError, std::move(defaultsFile))),
      FCurrent(std::make_unique<TPortfolioData>(cfg, onError, FDefaults.get(), std::move(caseDir))) {
    try {
        FDefaults->update();
    } catch (const EKavelin& e) {
        // The configured defaults stay; the user is told.
        FCurrent->showError(u"Standardverdier", e.message());
    }
}

}  // namespace mirvo::mng
