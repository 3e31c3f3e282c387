#include "app/ui/config/produkt_oppsett.h"

#include <gtest/gtest.h>

using namespace mirvo::oppsett;

TEST(InputElement, NewObjectsHaveTheirDefaults) {
    TInputElementOppsett f;
    EXPECT_EQ(f.kind(), TCtrlKind::ckText);
    EXPECT_EQ(f.state(), TCtrlState::csInput);
    EXPECT_EQ(f.panelFlow(), TFlowKind::flNewLine);
    EXPECT_EQ(f.panelDim(), (TDimension{380, 23}));
    EXPECT_EQ(f.labelText(), u"Ledetekst");
    EXPECT_EQ(f.inputPos(), (TPunkt{275, 2}));
    EXPECT_EQ(f.inputDim(), (TDimension{100, 19}));
    EXPECT_EQ(f.unitPos(), (TPunkt{245, 4}));
    TSkilleElementOppsett s;
    EXPECT_EQ(s.kind(), TCtrlKind::ckSpacedLine);
    EXPECT_EQ(s.panelDim(), (TDimension{380, 10}));
}

TEST(InputElement, KindDefaultsApplyOnlyOnARealChange) {
    struct Case {
        TCtrlKind kind;
        std::u16string fmt;
        int32_t maxLength;
        std::vector<std::u16string> choices;
    };
    const std::vector<std::u16string> before = {u"A=a"};
    const Case cases[] = {
        {TCtrlKind::ckNum, u"T0", 15, before},
        {TCtrlKind::ckMask, u"##########{0123456789}", 7, before},
        {TCtrlKind::ckDatetime, u"DD.MM.YYYY", 7, before},
        {TCtrlKind::ckPeriod, u"__ år  __ mnd", 7, before},
        {TCtrlKind::ckDropDown, u"x", 7, {}},
        {TCtrlKind::ckRadioGroup, u"x", 7, {}},
        {TCtrlKind::ckYesNo, u"x", 7, {u"1=Ja", u"0=Nei"}},
        {TCtrlKind::ckMemo, u"x", 5000, before},
        {TCtrlKind::ckPanel, u"x", 7, before},
    };
    for (const Case& c : cases) {
        TInputElementOppsett f;
        f.SetinputFmt(u"x");
        f.SetinputMaxLength(7);
        f.SetinputChoices(before);
        f.clearChangeFlags();
        f.Setkind(c.kind);
        EXPECT_EQ(f.kind(), c.kind);
        EXPECT_EQ(f.inputFmt(), c.fmt) << int(c.kind);
        EXPECT_EQ(f.inputMaxLength(), c.maxLength) << int(c.kind);
        EXPECT_EQ(f.inputChoices(), c.choices) << int(c.kind);
        EXPECT_TRUE(f.isChanged());
        // The same kind again changes nothing.
        f.SetinputFmt(u"y");
        f.clearChangeFlags();
        f.Setkind(c.kind);
        EXPECT_EQ(f.inputFmt(), u"y");
        EXPECT_FALSE(f.isChanged());
    }
}

TEST(InputElement, ContentAreaAndMargins) {
    TInputElementOppsett f;
    f.SetlabelPos({5, 4});
    f.SetinputPos({200, 3});
    f.SetinputDim({120, 21});
    f.SetpanelDim({380, 30});
    // right = 200 + 120 - 1, bottom = 3 + 21 - 1
    EXPECT_EQ(f.getContentArea(), (TRect{5, 0, 319, 23}));
    EXPECT_EQ(f.getContentMargins(), (TRect{5, 0, 61, 7}));
    EXPECT_EQ(f.inputRightPos(), 319);
}

TEST(ChangeTracking, ARealChangeWalksUpToTheProduct) {
    TProduktOppsett p(1);
    TInputOppsett& w = p.InputOppsettListe().add();
    TInputElementOppsett& f = w.addInputAltListe().add();
    f.SetID(u"LBELOP");
    p.clearChangeFlags();

    f.SetID(u"LBELOP");
    f.SetinputChoices({});
    f.SetpanelDim(f.panelDim());
    EXPECT_FALSE(p.isChanged());
    EXPECT_FALSE(w.isChanged());

    f.SetinputDim({100, 20});
    EXPECT_TRUE(f.isChanged());
    EXPECT_TRUE(w.isChanged());
    EXPECT_TRUE(p.isChanged());
}

TEST(ChangeTracking, ALoadBracketStopsTheWalkButMarksTheObject) {
    TProduktOppsett p(1);
    TInputOppsett& w = p.InputOppsettListe().add();
    p.clearChangeFlags();
    w.beginLoad();
    w.SetID(u"Initial");
    w.endLoad();
    EXPECT_TRUE(w.isChanged());
    EXPECT_FALSE(p.InputOppsettListe().isChanged());
    EXPECT_FALSE(p.isChanged());
    // An update bracket reports once at its end.
    w.beginUpdate();
    w.SetID(u"Other");
    EXPECT_FALSE(p.isChanged());
    w.endUpdate();
    EXPECT_TRUE(p.isChanged());
}

TEST(ChangeTracking, ACloneHasNoParentAndACopyOfEverything) {
    TProduktOppsett p(4);
    p.SetBeskrivelse(u"Boliglån");
    p.SetProduktgruppe(TProduktGruppe::pgNedbetlån);
    TInputOppsett& w = p.InputOppsettListe().add();
    w.SetID(u"Initial");
    w.addInputAltListe().add().SetID(u"LBELOP");
    w.addSeparator().SetID(u"sep1");
    p.clearChangeFlags();

    std::unique_ptr<TProduktOppsett> c = p.clone();
    EXPECT_EQ(c->ID(), 4);
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_EQ(c->Beskrivelse(), u"Boliglån");
    EXPECT_EQ(c->RapportOppsettListe().count(), p.RapportOppsettListe().count());
    TInputOppsett& cw = c->InputOppsettListe()[0];
    ASSERT_EQ(cw.count(), 2u);
    ASSERT_NE(cw.place(0), nullptr);
    ASSERT_NE(cw.separator(1), nullptr);
    EXPECT_EQ(cw.separator(1)->ID(), u"sep1");

    cw.getInputElement(u"lbelop")->SetdefaultValue(u"1");
    EXPECT_FALSE(p.isChanged());
    EXPECT_EQ(w.getInputElement(u"LBELOP")->defaultValue(), u"");
}

TEST(InputWindow, KindCannotChangeOnceItHasItems) {
    TInputOppsett w;
    w.Setkind(TWndKind::wkChangesArray);
    w.addInputAltListe();
    w.Setkind(TWndKind::wkChangesArray);
    try {
        w.Setkind(TWndKind::wkStd);
        FAIL();
    } catch (const EOppsett& e) {
        EXPECT_EQ(e.message(), u"Kan ikke endre inputoppsettype etter at elementer er lagt til");
    }
}

TEST(InputWindow, LookupsSkipSeparatorsAndIgnoreCase) {
    TInputOppsett w;
    EXPECT_EQ(w.getFirstInput(), nullptr);
    w.addSeparator().SetID(u"s");
    auto& place = w.addInputAltListe();
    place.add().SetID(u"LOPETID");
    place.add().SetID(u"INFRDTO");
    w.addInputAltListe().add().SetID(u"RNTSATS");
    EXPECT_EQ(w.getFirstInput()->ID(), u"LOPETID");
    EXPECT_EQ(w.getInputElement(u"infrdto")->ID(), u"INFRDTO");
    EXPECT_EQ(w.getInputElement(u"s"), nullptr);
    std::vector<std::u16string> ids = {u"old"};
    w.getInputFields(ids);
    EXPECT_EQ(ids, (std::vector<std::u16string>{u"LOPETID", u"INFRDTO", u"RNTSATS"}));
}

TEST(InputWindow, ValidateFindsRepeatedIdsAcrossPlacesAndSeparators) {
    struct Case {
        std::u16string a, b;
        bool separator;
        bool fails;
    };
    const Case cases[] = {
        {u"LBELOP", u"lbelop", false, true},
        {u"LBELOP", u"RNTSATS", false, false},
        {u"", u"", true, true},  // a new field and a new separator
        {u"Skille", u"SKILLE", true, true},
    };
    for (const Case& c : cases) {
        TInputOppsett w;
        w.addInputAltListe().add().SetID(c.a);
        if (c.separator) w.addSeparator().SetID(c.b);
        else w.addInputAltListe().add().SetID(c.b);
        if (!c.fails) {
            EXPECT_NO_THROW(w.validate());
            continue;
        }
        try {
            w.validate();
            ADD_FAILURE() << "no failure";
        } catch (const EOppsett& e) {
            EXPECT_EQ(e.message(),
                      u"Multiple instanser av felt \"" + c.b + u"\" registrert. Rydd opp i overlapping / konflikt!");
        }
    }
}

TEST(ListBase, DeleteSwitchAndBadIndex) {
    TInputOppsett w;
    auto& a = w.addInputAltListe();
    w.addSeparator().SetID(u"s");
    w.clearChangeFlags();
    w.switchPlace(0, 1);
    EXPECT_NE(w.separator(0), nullptr);
    EXPECT_TRUE(w.isChanged());
    w.deleteItem(a);
    EXPECT_EQ(w.count(), 1u);
    EXPECT_THROW(w.getItem(1), EOppsett);
    w.clear();
    EXPECT_EQ(w.count(), 0u);
}
