// Errors of the XML module. Texts are UTF-8 (what()). Syntax errors and
// invalid names are plain std::runtime_error, not EXML, so that code catching
// EXML sees only the document-state errors.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kavelin::xml {

class EXML : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A change of a document in read-only mode.
class EXMLReadOnly : public EXML {
public:
    EXMLReadOnly() : EXML("XML-dokument er i readonly modus") {}
};

// A path whose first name is not the root's name.
class EXMLRoot : public EXML {
public:
    explicit EXMLRoot(std::u16string_view name);
};

// "Ikke gyldig xml syntax: " CR "---> " and the offending text.
[[noreturn]] void raiseSyntax(std::u16string_view excerpt);
// "Ikke gyldig XML elementnavn (" name ")".
[[noreturn]] void raiseInvalidName(std::u16string_view name);

}  // namespace kavelin::xml
