// Value types of the product configuration: the enumerations with their
// text forms in the configuration file, points and sizes, the error type,
// and the small helpers that read and write single values of an element.
#pragma once

#include "common/text/casing.h"

#include "app/ui/xml/xml_doc.h"
#include "common/utils/error.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo::oppsett {

namespace xml = kavelin::xml;

// Every failure of the configuration model; the message is Norwegian.
class EOppsett : public kavelin::utils::EKavelin {
public:
    using EKavelin::EKavelin;
};

enum class TCtrlKind {
    ckNone, ckText, ckNum, ckMask, ckDatetime, ckPeriod, ckDropDown, ckRadioGroup, ckYesNo, ckMemo,
    ckSpacedLine, ckPanel
};
enum class TCtrlState { csNone, csDisabled, csHide, csReadonly, csInput };
enum class TFlowKind { flAuto, flNewLine };
enum class TWndKind { wkStd, wkChangesArray };
enum class TAlignment { taLeftJustify, taRightJustify };
enum class TProduktGruppe { pgNone = 0, pgNedbetlån = 1, pgRammelån = 2 };

// Text forms in the file. Reading compares exactly; an unknown or empty text
// gives the first value.
std::u16string_view toText(TCtrlKind v);
std::u16string_view toText(TCtrlState v);
std::u16string_view toText(TFlowKind v);
std::u16string_view toText(TWndKind v);
std::u16string_view toText(TAlignment v);
TCtrlKind ctrlKindOf(std::u16string_view text);
TCtrlState ctrlStateOf(std::u16string_view text);
TFlowKind flowKindOf(std::u16string_view text);
TWndKind wndKindOf(std::u16string_view text);
TAlignment alignmentOf(std::u16string_view text);
// 1 and 2 are the groups; every other number is pgNone.
TProduktGruppe produktGruppeOf(int32_t number);
// "Nedbetalingslån", "Rammekreditt" or empty.
std::u16string_view produktGruppeStr(TProduktGruppe g);

// Kinds whose value is picked from FInputChoices.
bool hasChoices(TCtrlKind kind);

struct TPunkt {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPunkt&) const = default;
};
struct TDimension {
    int32_t w = 0;
    int32_t h = 0;
    bool operator==(const TDimension&) const = default;
};
struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// "first,second"; split at the first comma, a part that is not a decimal
// integer gives 0.
std::pair<int32_t, int32_t> parsePair(std::u16string_view text);
std::u16string formatPair(int32_t a, int32_t b);
// A decimal integer; anything else (empty, junk, overflow) gives 0.
int32_t parseInt(std::u16string_view text);
std::u16string formatInt(int64_t v);

// Texts compared without regard to case.
using kavelin::text::sameText;

// IDs seen while checking a window, kept upper-cased.
using TIDListe = std::set<std::u16string>;

// Reading single values of an element: a missing child reads as empty text.
std::u16string childText(const xml::TXMLElement& e, std::u16string_view name);
bool childBool(const xml::TXMLElement& e, std::u16string_view name);
int32_t childInt(const xml::TXMLElement& e, std::u16string_view name);
std::u16string attribText(const xml::TXMLElement& e, std::u16string_view name);
// The children of that name, in order.
std::vector<const xml::TXMLElement*> childrenNamed(const xml::TXMLElement& e, std::u16string_view name);

// Writing: one child with the value ("True"/"False" for Booleans). A value
// with leading white space or a CR is written as a CDATA section.
void writeChild(xml::TXMLElement& e, std::u16string_view name, std::u16string_view value);
void writeBool(xml::TXMLElement& e, std::u16string_view name, bool value);

}  // namespace mirvo::oppsett
