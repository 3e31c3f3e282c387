// Reader and writer of the element tree (used by TXMLDoc and TXMLElement).
#pragma once

#include "app/ui/xml/xml_doc.h"

#include <string>
#include <string_view>
#include <vector>

namespace kavelin::xml {

// Parses XML text into a document (target none: the first element becomes
// the root) or into an element (new elements become its children). The
// document counts as loading while the parse runs, also when it fails; what
// was read before a failure stays in the tree.
class TXMLParser {
public:
    TXMLParser(TXMLDoc& doc, TXMLElement* target) : FDoc(doc), FTarget(target), FCurrent(target) {}
    void run(std::u16string_view text);

private:
    void handle(std::u16string_view token);
    void startTag(std::u16string_view token);
    void readAttributes(TXMLElement& e, std::u16string_view tag, std::u16string_view rest);

    TXMLDoc& FDoc;
    TXMLElement* FTarget;
    TXMLElement* FCurrent;
    std::vector<std::u16string> FPendingComments;
};

// Writes an element and its subtree as text, with the declaration at the top
// when the document's header is enabled.
class TXMLWriter {
public:
    explicit TXMLWriter(const TXMLDoc& doc);
    std::u16string write(const TXMLElement& e);

private:
    void element(const TXMLElement& e, int level);
    void line(std::u16string_view text);
    std::u16string escaped(const std::u16string& value) const;
    std::u16string openTag(const TXMLElement& e) const;

    const TXMLDoc& FDoc;
    std::u16string FOut;
    std::u16string_view FLineEnd;
};

}  // namespace kavelin::xml
