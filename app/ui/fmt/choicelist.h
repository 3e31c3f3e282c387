// Choice lists of drop-downs and radio groups: items of a value, "=" and a
// text ("12=Månedlig"), or of a text and the value in brackets
// ("Månedlig [12]"), or plain texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/fmt/textfmt.h"

namespace kavelin::fmt {

enum class TMapKind { mkUnknown, mkNone, mkEquals, mkBrackets };
enum class TItemSepKind { isUnknown, isCR, isBackslash };

class TChoiceList {
public:
    struct Item {
        std::u16string value;
        std::u16string text;
    };

    int count() const { return FCount; }
    TMapKind mapKind() const { return FMapKind; }
    TItemSepKind itemSepKind() const { return FItemSepKind; }
    // Item i as kept: "value=text" for mapped lists.
    std::u16string operator[](int i) const;
    Item item(int i) const;

    void Add(std::u16string_view item);
    void Insert(int index, std::u16string_view item);
    void Delete(int index);
    void Put(int index, std::u16string_view item);
    void Clear();
    // First item whose value or text equals s (case ignored); -1 when none.
    int IndexOf(std::u16string_view s) const;
    int indexOfValue(std::u16string_view value) const;
    int indexOfText(std::u16string_view text) const;

    // The items joined with the separator they came with, brackets restored.
    std::u16string Text() const;
    // Splits at CR when the text has one, else at "\".
    void setText(std::u16string_view text);

    void BeginUpdate() { ++FUpdating; }
    void EndUpdate();
    std::function<void()> FOnChange;

private:
    std::vector<std::u16string> lines() const;
    void setLines(const std::vector<std::u16string>& lines);
    std::u16string normalise(std::u16string_view item);
    void changed();

    std::u16string FChoices;  // the items, CR-separated
    int FCount = 0;
    TMapKind FMapKind = TMapKind::mkUnknown;
    TItemSepKind FItemSepKind = TItemSepKind::isUnknown;
    int FUpdating = 0;
};

// A format that shows the text of a key and reads back the key of a text.
class TChoiceFmt : public TCustomFmt {
public:
    TChoiceList& FChoiceItems() { return FItems; }
    const TChoiceList& FChoiceItems() const { return FItems; }
    std::u16string getMaskedStr(std::u16string_view key) const override;
    std::u16string getUnmaskedStr(std::u16string_view text) const override;

private:
    TChoiceList FItems;
};

}  // namespace kavelin::fmt
