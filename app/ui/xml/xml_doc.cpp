#include "app/ui/xml/xml_doc.h"

#include "app/ui/xml/xml_parser.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/utils/atomic_file.h"
#include "common/utils/file_utils.h"

#include <iterator>
#include <istream>
#include <ostream>

namespace kavelin::xml {
namespace {

constexpr char16_t kPathSeparator = u'\\';

// The first name of a path and, when there is a separator, the rest.
std::pair<std::u16string_view, std::optional<std::u16string_view>> splitPath(std::u16string_view path) {
    size_t sep = path.find(kPathSeparator);
    if (sep == std::u16string_view::npos) return {path, std::nullopt};
    return {path.substr(0, sep), path.substr(sep + 1)};
}

bool sameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && text::upperCase(a) == text::upperCase(b);
}

std::string readStream(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// ---- TXMLElement ----

TXMLElement::TXMLElement(TXMLDoc* owner, TXMLElement* parent, std::u16string_view name)
    : FOwner(owner), FParent(parent), FName(name) {
    checkName(name);
}

TXMLElement::~TXMLElement() = default;

void TXMLElement::checkName(std::u16string_view name) {
    bool ok = !name.empty() && !(name[0] >= u'0' && name[0] <= u'9');
    for (char16_t c : name)
        // "/" too: the writer could not write such a name back readably.
        if (c <= 32 || c == u'"' || c == u'&' || c == u'\'' || c == u'<' || c == u'>' || c == u'/') ok = false;
    if (!ok) raiseInvalidName(name);
}

void TXMLElement::checkWritable() const {
    if (FOwner->FReadOnly && !FOwner->FLoading) throw EXMLReadOnly();
}

TXMLElement& TXMLElement::appendChild(std::u16string_view name) {
    checkWritable();
    FChildren.push_back(std::make_unique<TXMLElement>(FOwner, this, name));
    return *FChildren.back();
}

TXMLElement* TXMLElement::firstChildNamed(std::u16string_view name) const {
    for (const auto& c : FChildren)
        if (c->FName == name) return c.get();
    return nullptr;
}

TXMLElement& TXMLElement::getChild(std::u16string_view tagPath) {
    TXMLElement* e = this;
    for (;;) {
        auto [name, rest] = splitPath(tagPath);
        TXMLElement* c = e->firstChildNamed(name);
        e = c ? c : &e->appendChild(name);
        if (!rest) return *e;
        tagPath = *rest;
    }
}

TXMLElement* TXMLElement::findChild(std::u16string_view tagPath) const {
    const TXMLElement* e = this;
    for (;;) {
        auto [name, rest] = splitPath(tagPath);
        e = e->firstChildNamed(name);
        if (!e || !rest) return const_cast<TXMLElement*>(e);
        tagPath = *rest;
    }
}

TXMLElement& TXMLElement::getChildByIndex(size_t i) const {
    if (i >= FChildren.size()) throw std::out_of_range("XML child index out of range");
    return *FChildren[i];
}

TXMLList& TXMLElement::getList(std::u16string_view tagName) {
    for (const auto& l : FLists)
        if (l->name() == tagName) return *l;
    FLists.push_back(std::make_unique<TXMLList>(FOwner, this, tagName));
    return *FLists.back();
}

std::optional<std::u16string> TXMLElement::value() const {
    if (FValue.empty()) return std::nullopt;
    return FValue;
}

void TXMLElement::setValue(std::u16string_view v) {
    checkWritable();
    FValue = v;
}

void TXMLElement::setCData(bool on) {
    checkWritable();
    FCData = on;
}

std::optional<std::u16string> TXMLElement::getAttrib(std::u16string_view name) const {
    for (const auto& [n, v] : FAttribs)
        if (n == name) return v;
    return std::nullopt;
}

void TXMLElement::setAttrib(std::u16string_view name, std::u16string_view value) {
    checkWritable();
    for (auto& [n, v] : FAttribs) {
        if (n == name) {
            v = value;
            return;
        }
    }
    checkName(name);
    FAttribs.emplace_back(name, value);
}

const std::pair<std::u16string, std::u16string>& TXMLElement::getAttribByIndex(size_t i) const {
    if (i >= FAttribs.size()) throw std::out_of_range("XML attribute index out of range");
    return FAttribs[i];
}

bool TXMLElement::ExistsAndHasData(std::u16string_view tagPath) const {
    const TXMLElement* e = findChild(tagPath);
    return e && e->hasData();
}

void TXMLElement::clear() {
    FChildren.clear();
    FAttribs.clear();
    FValue.clear();
    FCData = false;
}

void TXMLElement::parseInto(std::u16string_view text) {
    checkWritable();
    TXMLParser(*FOwner, this).run(text);
}

void TXMLElement::add(std::u16string_view xmlText) { parseInto(xmlText); }

TXMLElement* TXMLElement::add(const TXMLDoc& doc) {
    if (!doc.root()) return nullptr;
    checkWritable();
    // The copy is complete before it is attached, so copying a document into
    // one of its own elements cannot see the copy itself.
    FChildren.push_back(copyOf(*doc.root(), this));
    return FChildren.back().get();
}

std::unique_ptr<TXMLElement> TXMLElement::copyOf(const TXMLElement& source, TXMLElement* parent) {
    auto copy = std::make_unique<TXMLElement>(parent->FOwner, parent, source.FName);
    copy->FValue = source.FValue;
    copy->FAttribs = source.FAttribs;
    for (const auto& c : source.FChildren) copy->FChildren.push_back(copyOf(*c, copy.get()));
    return copy;
}

std::u16string TXMLElement::Text() const { return TXMLWriter(*FOwner).write(*this); }

void TXMLElement::setText(std::u16string_view xmlText) {
    checkWritable();
    clear();
    parseInto(xmlText);
}

void TXMLElement::save(std::ostream& out) const {
    std::string bytes = encodeText(Text(), FOwner->FEncoding);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

void TXMLElement::save(const std::filesystem::path& fileName) const {
    utils::writeFileAtomic(fileName, encodeText(Text(), FOwner->FEncoding));
}

void TXMLElement::Load(std::istream& in) {
    std::string bytes = readStream(in);
    parseInto(FOwner->FEncoding == TXMLEncoding::encUTF8 ? text::fromUtf8(bytes) : text::fromCp1252(bytes));
}

void TXMLElement::Load(const std::filesystem::path& fileName) {
    std::string bytes = utils::readFileWithRetry(fileName);
    parseInto(FOwner->FEncoding == TXMLEncoding::encUTF8 ? text::fromUtf8(bytes) : text::fromCp1252(bytes));
}

// ---- TXMLList ----

TXMLElement& TXMLList::add() { return FParent->appendChild(FName); }

TXMLElement& TXMLList::getItem(size_t i) const {
    for (const auto& c : FParent->FChildren)
        if (c->FName == FName && i-- == 0) return *c;
    throw std::out_of_range("XML list index out of range");
}

size_t TXMLList::count() const {
    size_t n = 0;
    for (const auto& c : FParent->FChildren)
        if (c->FName == FName) ++n;
    return n;
}

std::pair<int, TXMLElement*> TXMLList::search(std::u16string_view name, std::u16string_view value,
                                             TListSeekKind seekFor) const {
    size_t blank = name.find(u' ');
    int index = 0;
    for (const auto& c : FParent->FChildren) {
        if (c->FName != FName) continue;
        TXMLElement* found = nullptr;
        if (seekFor == TListSeekKind::seekListChild) {
            TXMLElement* sub = c->findChild(name);
            if (sub && sameText(sub->FValue, value)) found = sub;
        } else if (blank != std::u16string_view::npos) {
            TXMLElement* sub = c->findChild(name.substr(0, blank));
            auto attr = sub ? sub->getAttrib(name.substr(blank + 1)) : std::nullopt;
            if (attr && sameText(*attr, value)) found = c.get();
        } else {
            auto attr = c->getAttrib(name);
            if (attr && sameText(*attr, value)) found = c.get();
        }
        if (found) return {index, found};
        ++index;
    }
    return {-1, nullptr};
}

int TXMLList::indexOf(std::u16string_view name, std::u16string_view value, TListSeekKind seekFor) const {
    return search(name, value, seekFor).first;
}

TXMLElement* TXMLList::seekElement(std::u16string_view name, std::u16string_view value,
                                   TListSeekKind seekFor) const {
    return search(name, value, seekFor).second;
}

// ---- TXMLDoc ----

TXMLDoc::TXMLDoc() = default;
TXMLDoc::~TXMLDoc() = default;

void TXMLDoc::clear() { FRoot.reset(); }

void TXMLDoc::parse(std::u16string_view text) {
    clear();
    TXMLParser(*this, nullptr).run(text);
}

void TXMLDoc::Load(std::istream& in) { parse(decodeXmlFile(readStream(in))); }

void TXMLDoc::Load(const std::filesystem::path& fileName) { parse(decodeXmlFile(utils::readFileWithRetry(fileName))); }

void TXMLDoc::setText(std::u16string_view xmlText) { parse(xmlText); }

std::u16string TXMLDoc::Text() const {
    if (!FRoot) return {};
    return TXMLWriter(*this).write(*FRoot);
}

std::string TXMLDoc::encodedText() const {
    if (!FRoot) throw std::runtime_error("Kan ikke lagre XML uten rotelement");
    return encodeText(Text(), FEncoding);
}

void TXMLDoc::Save(std::ostream& out) const {
    std::string bytes = encodedText();
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

void TXMLDoc::Save(const std::filesystem::path& fileName) const { utils::writeFileAtomic(fileName, encodedText()); }

TXMLElement& TXMLDoc::getElement(std::u16string_view tagPath) {
    if (tagPath.empty()) throw std::runtime_error("Ingen path angitt for xml-element!");
    auto [first, rest] = splitPath(tagPath);
    if (!FRoot) {
        if (FReadOnly && !FLoading) throw EXMLReadOnly();
        FRoot = std::make_unique<TXMLElement>(this, nullptr, first);
    } else if (FRoot->FName != first) {
        throw EXMLRoot(first);
    }
    return rest ? FRoot->getChild(*rest) : *FRoot;
}

TXMLElement* TXMLDoc::findElement(std::u16string_view tagPath) const {
    if (tagPath.empty() || !FRoot) return nullptr;
    auto [first, rest] = splitPath(tagPath);
    if (FRoot->FName != first) return nullptr;
    return rest ? FRoot->findChild(*rest) : FRoot.get();
}

bool TXMLDoc::ExistsAndHasData(std::u16string_view tagPath) const {
    const TXMLElement* e = findElement(tagPath);
    return e && e->hasData();
}

}  // namespace kavelin::xml
