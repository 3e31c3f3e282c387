#include "app/ui/config/oppsett_types.h"

#include "common/text/casing.h"

#include <array>
#include <charconv>

namespace mirvo::oppsett {
namespace {

constexpr std::array<std::u16string_view, 12> kKindTexts = {
    u"none", u"text", u"num", u"masked", u"datetime", u"period", u"dropdown", u"radiogroup", u"yesno", u"memo",
    u"spacedline", u"panel"};
constexpr std::array<std::u16string_view, 5> kStateTexts = {u"none", u"disabled", u"hide", u"readonly", u"input"};
constexpr std::array<std::u16string_view, 2> kFlowTexts = {u"auto", u"newline"};
constexpr std::array<std::u16string_view, 2> kWndTexts = {u"Std", u"ChangesArr"};
constexpr std::array<std::u16string_view, 2> kAlignTexts = {u"left", u"right"};

template <class E, size_t N>
E fromTable(const std::array<std::u16string_view, N>& table, std::u16string_view text) {
    for (size_t i = 0; i < N; ++i)
        if (table[i] == text) return static_cast<E>(i);
    return static_cast<E>(0);
}

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && s.front() <= u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() <= u' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::u16string_view toText(TCtrlKind v) { return kKindTexts[static_cast<size_t>(v)]; }
std::u16string_view toText(TCtrlState v) { return kStateTexts[static_cast<size_t>(v)]; }
std::u16string_view toText(TFlowKind v) { return kFlowTexts[static_cast<size_t>(v)]; }
std::u16string_view toText(TWndKind v) { return kWndTexts[static_cast<size_t>(v)]; }
std::u16string_view toText(TAlignment v) { return kAlignTexts[static_cast<size_t>(v)]; }
TCtrlKind ctrlKindOf(std::u16string_view text) { return fromTable<TCtrlKind>(kKindTexts, text); }
TCtrlState ctrlStateOf(std::u16string_view text) { return fromTable<TCtrlState>(kStateTexts, text); }
TFlowKind flowKindOf(std::u16string_view text) { return fromTable<TFlowKind>(kFlowTexts, text); }
TWndKind wndKindOf(std::u16string_view text) { return fromTable<TWndKind>(kWndTexts, text); }
TAlignment alignmentOf(std::u16string_view text) { return fromTable<TAlignment>(kAlignTexts, text); }

TProduktGruppe produktGruppeOf(int32_t number) {
    if (number == 1) return TProduktGruppe::pgNedbetlån;
    if (number == 2) return TProduktGruppe::pgRammelån;
    return TProduktGruppe::pgNone;
}

std::u16string_view produktGruppeStr(TProduktGruppe g) {
    switch (g) {
        case TProduktGruppe::pgNedbetlån: return u"Nedbetalingslån";
        case TProduktGruppe::pgRammelån: return u"Rammekreditt";
        default: return u"";
    }
}

bool hasChoices(TCtrlKind kind) {
    return kind == TCtrlKind::ckDropDown || kind == TCtrlKind::ckRadioGroup || kind == TCtrlKind::ckYesNo;
}

int32_t parseInt(std::u16string_view text) {
    text = trimBlanks(text);
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return 0;
        ascii.push_back(static_cast<char>(c));
    }
    size_t start = (!ascii.empty() && ascii[0] == '+') ? 1 : 0;
    int32_t v = 0;
    auto [end, ec] = std::from_chars(ascii.data() + start, ascii.data() + ascii.size(), v);
    if (ec != std::errc() || end != ascii.data() + ascii.size() || ascii.size() == start) return 0;
    return v;
}

std::u16string formatInt(int64_t v) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::u16string(buf, end);
}

std::pair<int32_t, int32_t> parsePair(std::u16string_view text) {
    size_t comma = text.find(u',');
    if (comma == std::u16string_view::npos) return {parseInt(text), 0};
    return {parseInt(text.substr(0, comma)), parseInt(text.substr(comma + 1))};
}

std::u16string formatPair(int32_t a, int32_t b) { return formatInt(a) + u"," + formatInt(b); }

std::u16string childText(const xml::TXMLElement& e, std::u16string_view name) {
    const xml::TXMLElement* c = e.findChild(name);
    return c ? c->valueText() : std::u16string();
}

bool childBool(const xml::TXMLElement& e, std::u16string_view name) {
    std::u16string t(trimBlanks(childText(e, name)));
    return sameText(t, u"True") || t == u"1";
}

int32_t childInt(const xml::TXMLElement& e, std::u16string_view name) { return parseInt(childText(e, name)); }

std::u16string attribText(const xml::TXMLElement& e, std::u16string_view name) {
    return e.getAttrib(name).value_or(std::u16string());
}

std::vector<const xml::TXMLElement*> childrenNamed(const xml::TXMLElement& e, std::u16string_view name) {
    std::vector<const xml::TXMLElement*> out;
    for (size_t i = 0; i < e.ChildCount(); ++i) {
        const xml::TXMLElement& c = e.getChildByIndex(i);
        if (c.name() == name) out.push_back(&c);
    }
    return out;
}

void writeChild(xml::TXMLElement& e, std::u16string_view name, std::u16string_view value) {
    xml::TXMLElement& c = e.getList(name).add();
    c.setValue(value);
    // The reader drops leading white space of a text and turns CR LF into
    // LF; a CDATA section keeps such a value exactly as it is.
    bool fragile = !value.empty() && (value.front() <= u' ' || value.find(u'\r') != std::u16string_view::npos);
    if (fragile && value.find(u"]]>") == std::u16string_view::npos) c.setCData(true);
}

void writeBool(xml::TXMLElement& e, std::u16string_view name, bool value) {
    writeChild(e, name, value ? u"True" : u"False");
}

}  // namespace mirvo::oppsett
