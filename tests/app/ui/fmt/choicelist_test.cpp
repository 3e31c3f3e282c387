#include "app/ui/fmt/choicelist.h"

#include <gtest/gtest.h>

#include "common/text/encoding.h"

namespace kavelin::fmt {
namespace {

std::string u8(std::u16string_view s) { return text::toUtf8(s); }

TEST(ChoiceList, EqualsItemsAndLookUps) {
    TChoiceList l;
    l.Add(u"1=Ja");
    l.Add(u"0=Nei");
    EXPECT_EQ(l.mapKind(), TMapKind::mkEquals);
    EXPECT_EQ(l.count(), 2);
    EXPECT_EQ(u8(l.item(1).value), "0");
    EXPECT_EQ(u8(l.item(1).text), "Nei");
    EXPECT_EQ(l.IndexOf(u"nei"), 1);
    EXPECT_EQ(l.IndexOf(u"1"), 0);
    EXPECT_EQ(l.IndexOf(u"kanskje"), -1);
    EXPECT_EQ(u8(l.Text()), "1=Ja\r0=Nei");
}

TEST(ChoiceList, BracketItemsReadBackInTheirForm) {
    TChoiceList l;
    l.setText(u"Månedlig [12]\\Kvartalsvis [4]");
    EXPECT_EQ(l.mapKind(), TMapKind::mkBrackets);
    EXPECT_EQ(l.itemSepKind(), TItemSepKind::isBackslash);
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(u8(l[0]), "12=Månedlig");
    EXPECT_EQ(u8(l.item(1).value), "4");
    EXPECT_EQ(l.IndexOf(u"MÅNEDLIG"), 0);
    EXPECT_EQ(u8(l.Text()), "Månedlig [12]\\Kvartalsvis [4]");
}

TEST(ChoiceList, SplitsAtCrFirst) {
    TChoiceList l;
    l.setText(u"A\\B\r\nC\r");
    EXPECT_EQ(l.mapKind(), TMapKind::mkNone);
    EXPECT_EQ(l.itemSepKind(), TItemSepKind::isCR);
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(u8(l[0]), "A\\B");
    EXPECT_EQ(u8(l[1]), "C");
    l.setText(u"");
    EXPECT_EQ(l.count(), 0);
}

TEST(ChoiceList, ChangesKeepCountTextAndNotify) {
    TChoiceList l;
    int changes = 0;
    l.FOnChange = [&] { ++changes; };
    l.setText(u"1=En\r2=To\r3=Tre");
    EXPECT_EQ(changes, 1);
    l.Delete(1);
    l.Insert(0, u"0=Null");
    l.Put(2, u"4=Fire");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(u8(l.Text()), "0=Null\r1=En\r4=Fire");
    EXPECT_EQ(l.count(), 3);
    l.Delete(7);  // outside: nothing happens
    EXPECT_EQ(changes, 4);
    l.BeginUpdate();
    l.Add(u"5=Fem");
    l.Add(u"6=Seks");
    EXPECT_EQ(changes, 4);
    l.EndUpdate();
    EXPECT_EQ(changes, 5);
    l.Clear();
    EXPECT_EQ(l.count(), 0);
    EXPECT_EQ(l.mapKind(), TMapKind::mkUnknown);
    l.Add(u"fri tekst");
    EXPECT_EQ(l.mapKind(), TMapKind::mkNone);
}

TEST(ChoiceFmt, KeysToTextsAndBack) {
    TChoiceFmt f;
    f.FChoiceItems().setText(u"1=2\r2=Ja");
    EXPECT_EQ(u8(f.getMaskedStr(u"2")), "Ja");  // a value wins over an equal text
    EXPECT_EQ(u8(f.getMaskedStr(u"1")), "2");
    EXPECT_EQ(u8(f.getUnmaskedStr(u"ja")), "2");
    EXPECT_EQ(u8(f.getMaskedStr(u"9")), "9");
    EXPECT_EQ(u8(f.reformat(u"Ja")), "Ja");
}

}  // namespace
}  // namespace kavelin::fmt
