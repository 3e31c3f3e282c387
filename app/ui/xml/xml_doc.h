// The application's own XML documents: an element tree with a forgiving
// reader and a writer. An element is a name, a text value, ordered
// attributes and ordered children; elements are found by backslash-separated
// paths of names, and lookups create what is missing.
#pragma once

#include "app/ui/xml/xml_errors.h"
#include "app/ui/xml/xml_text.h"

#include <concepts>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavelin::xml {

class TXMLDoc;
class TXMLList;
class TXMLParser;
class TXMLWriter;

enum class TListSeekKind { seekListAttribute, seekListChild };

class TXMLElement {
public:
    // Validates the name ("Ikke gyldig XML elementnavn (...)").
    TXMLElement(TXMLDoc* owner, TXMLElement* parent, std::u16string_view name);
    ~TXMLElement();
    TXMLElement(const TXMLElement&) = delete;
    TXMLElement& operator=(const TXMLElement&) = delete;

    TXMLDoc* owner() const { return FOwner; }
    TXMLElement* parent() const { return FParent; }
    const std::u16string& name() const { return FName; }

    // a\b\c: the first child a (appended when missing), then b below it, ...
    TXMLElement& getChild(std::u16string_view tagPath);
    // The element at the path, or none; never creates anything.
    TXMLElement* findChild(std::u16string_view tagPath) const;
    TXMLElement& getChildByIndex(size_t i) const;
    size_t ChildCount() const { return FChildren.size(); }
    // The view on the children of that name; the same object on every call.
    TXMLList& getList(std::u16string_view tagName);

    // The value, or none when it is empty.
    std::optional<std::u16string> value() const;
    const std::u16string& valueText() const { return FValue; }
    void setValue(std::u16string_view v);
    // Integers are stored as decimal text; Booleans have no text form here.
    template <std::integral I>
        requires(!std::same_as<I, bool>)
    void setValue(I v) {
        std::string digits = std::to_string(v);
        setValue(std::u16string(digits.begin(), digits.end()));
    }
    bool CData() const { return FCData; }
    void setCData(bool on);

    // The attribute's value, or none when the attribute is missing.
    std::optional<std::u16string> getAttrib(std::u16string_view name) const;
    // Replaces the first attribute of that name, or appends one.
    void setAttrib(std::u16string_view name, std::u16string_view value);
    size_t AttribCount() const { return FAttribs.size(); }
    const std::pair<std::u16string, std::u16string>& getAttribByIndex(size_t i) const;

    bool Exists(std::u16string_view tagPath) const { return findChild(tagPath) != nullptr; }
    bool ExistsAndHasData(std::u16string_view tagPath) const;
    bool hasData() const { return !FValue.empty() || !FChildren.empty(); }

    // Removes children, attributes and value. List views stay valid (they
    // hold no elements).
    void clear();
    // Parses XML text into this element; new elements become children.
    void add(std::u16string_view xmlText);
    // Appends a deep copy of the other document's root (name, value,
    // attributes, children; not comments or the CDATA flag). None when the
    // other document is empty.
    TXMLElement* add(const TXMLDoc& doc);

    // This element as XML text (with the declaration when the document's
    // header is enabled).
    std::u16string Text() const;
    // Clears this element and parses the text into it.
    void setText(std::u16string_view xmlText);
    void save(std::ostream& out) const;
    void save(const std::filesystem::path& fileName) const;
    // Parses bytes in the document's current encoding into this element.
    void Load(std::istream& in);
    void Load(const std::filesystem::path& fileName);

    // Comments that stood before this element, in order.
    std::vector<std::u16string>& Comments() { return FComments; }
    const std::vector<std::u16string>& Comments() const { return FComments; }

private:
    friend class TXMLDoc;
    friend class TXMLParser;
    friend class TXMLWriter;
    friend class TXMLList;

    // Raises "Ikke gyldig XML elementnavn (...)" for an invalid name.
    static void checkName(std::u16string_view name);
    void checkWritable() const;
    TXMLElement& appendChild(std::u16string_view name);
    TXMLElement* firstChildNamed(std::u16string_view name) const;
    static std::unique_ptr<TXMLElement> copyOf(const TXMLElement& source, TXMLElement* parent);
    void parseInto(std::u16string_view text);

    TXMLDoc* FOwner;
    TXMLElement* FParent;
    std::u16string FName;
    std::u16string FValue;
    std::vector<std::unique_ptr<TXMLElement>> FChildren;
    std::vector<std::pair<std::u16string, std::u16string>> FAttribs;
    std::vector<std::unique_ptr<TXMLList>> FLists;
    std::vector<std::u16string> FComments;
    bool FCData = false;
};

// A view on the children of one name of an element; holds no elements.
class TXMLList {
public:
    TXMLList(TXMLDoc* owner, TXMLElement* parent, std::u16string_view name)
        : FOwner(owner), FParent(parent), FName(name) {}

    const std::u16string& name() const { return FName; }
    // Appends a new, empty child of the list's name.
    TXMLElement& add();
    // The i-th child of the list's name (0-based); raises when out of range.
    TXMLElement& getItem(size_t i) const;
    size_t count() const;
    // seekListChild: name is a path below each child; the child matches when
    // the element there has the value. seekListAttribute: name is an
    // attribute of the child, or "sub attribute" for an attribute of the
    // child's sub-element. Values are compared without regard to case.
    int indexOf(std::u16string_view name, std::u16string_view value, TListSeekKind seekFor) const;
    // The element found (the sub-element for seekListChild), or none.
    TXMLElement* seekElement(std::u16string_view name, std::u16string_view value,
                             TListSeekKind seekFor) const;

private:
    std::pair<int, TXMLElement*> search(std::u16string_view name, std::u16string_view value,
                                        TListSeekKind seekFor) const;

    TXMLDoc* FOwner;
    TXMLElement* FParent;
    std::u16string FName;
};

class TXMLDoc {
public:
    TXMLDoc();
    ~TXMLDoc();
    TXMLDoc(const TXMLDoc&) = delete;
    TXMLDoc& operator=(const TXMLDoc&) = delete;

    // Discards the tree and parses the whole text. The bytes are decoded by
    // their byte-order mark, else as UTF-8 when the declaration names it and
    // they are valid UTF-8, else as Windows-1252.
    void Load(std::istream& in);
    void Load(const std::filesystem::path& fileName);
    // Writes the tree ("Kan ikke lagre XML uten rotelement" without a root);
    // a file is replaced atomically.
    void Save(std::ostream& out) const;
    void Save(const std::filesystem::path& fileName) const;
    void clear();

    // The element at the path, created when missing.
    TXMLElement& getElement(std::u16string_view tagPath);
    TXMLElement* findElement(std::u16string_view tagPath) const;
    bool Exists(std::u16string_view tagPath) const { return findElement(tagPath) != nullptr; }
    bool ExistsAndHasData(std::u16string_view tagPath) const;

    std::u16string Text() const;
    // Parses the text into a fresh tree.
    void setText(std::u16string_view xmlText);

    TXMLElement* root() const { return FRoot.get(); }
    bool readOnly() const { return FReadOnly; }
    void setReadOnly(bool on) { FReadOnly = on; }
    bool formattedOutput() const { return FFormattedOutput; }
    void setFormattedOutput(bool on) { FFormattedOutput = on; }
    TXMLEncoding encoding() const { return FEncoding; }
    void setEncoding(TXMLEncoding e) { FEncoding = e; }
    bool loading() const { return FLoading; }
    const std::u16string& docTypeInfo() const { return FDocTypeInfo; }
    void setDocTypeInfo(std::u16string_view info) { FDocTypeInfo = info; }
    bool ignoreComments() const { return FIgnoreComments; }
    void setIgnoreComments(bool on) { FIgnoreComments = on; }
    bool headerEnabled() const { return FHeaderEnabled; }
    void setHeaderEnabled(bool on) { FHeaderEnabled = on; }

private:
    friend class TXMLElement;
    friend class TXMLParser;
    friend class TXMLWriter;

    void parse(std::u16string_view text);
    std::string encodedText() const;

    std::unique_ptr<TXMLElement> FRoot;
    bool FReadOnly = false;
    bool FFormattedOutput = false;
    TXMLEncoding FEncoding = TXMLEncoding::encISO8859;
    bool FLoading = false;
    std::u16string FDocTypeInfo;
    bool FIgnoreComments = false;
    bool FHeaderEnabled = true;
};

}  // namespace kavelin::xml
