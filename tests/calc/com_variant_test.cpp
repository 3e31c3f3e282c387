// BSTR and VARIANT handling of the automation layer.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "calc/com/ole_strings.h"
#include "calc/com/result_value.h"
#include "calc/com/variant.h"
#include "calc/com/com_error.h"

using namespace mirvo::com;

namespace {

VARIANT make(VARTYPE vt) {
    VARIANT v;
    std::memset(&v, 0, sizeof v);
    v.vt = vt;
    return v;
}

VARIANT i4(int32_t x) {
    VARIANT v = make(VT_I4);
    v.lVal = x;
    return v;
}

VARIANT r8(double x) {
    VARIANT v = make(VT_R8);
    v.dblVal = x;
    return v;
}

// The text VariantChangeType gives, or "#<hr>" on failure.
std::u16string textOf(const VARIANT& v, USHORT flags = 0) {
    TVariant out;
    HRESULT hr = variantChangeType(&out.v, &v, flags, VT_BSTR);
    if (FAILED(hr)) return u"#" + std::u16string(1, char16_t(hr & 0xFF));
    EXPECT_EQ(out.v.vt, VT_BSTR);
    return std::u16string(stringView(out.v.bstrVal));
}

std::u16string failure(HRESULT hr) { return u"#" + std::u16string(1, char16_t(hr & 0xFF)); }

TEST(Bstr, LengthPrefixHoldsBytesAndTextIsTerminated) {
    const std::u16string text(u"a\0bæ", 4);  // an embedded zero is kept
    BSTR s = allocString(text);
    ASSERT_NE(s, nullptr);
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(stringLen(s), 4u);
    EXPECT_EQ(s[4], 0);
    EXPECT_EQ(stringView(s), text);
    freeString(s);

    BSTR empty = allocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(stringLen(empty), 0u);
    EXPECT_EQ(empty[0], 0);
    freeString(empty);

    EXPECT_EQ(stringLen(nullptr), 0u);
    EXPECT_TRUE(stringView(nullptr).empty());
    freeString(nullptr);
}

TEST(VariantToText, NumbersBooleansDatesWithoutLocale) {
    VARIANT cy = make(VT_CY);
    cy.cyVal.int64 = -12345;  // -1.2345
    VARIANT cyWhole = make(VT_CY);
    cyWhole.cyVal.int64 = 70000;
    VARIANT cySmall = make(VT_CY);
    cySmall.cyVal.int64 = -500;  // -0.05
    VARIANT yes = make(VT_BOOL);
    yes.boolVal = VARIANT_TRUE;
    VARIANT no = make(VT_BOOL);
    VARIANT date = make(VT_DATE);
    date.date = 45672;  // 15 January 2025
    VARIANT dateTime = make(VT_DATE);
    dateTime.date = 45672.75;
    VARIANT r4 = make(VT_R4);
    r4.fltVal = 0.1f;
    VARIANT i2 = make(VT_I2);
    i2.iVal = -300;
    VARIANT i8 = make(VT_I8);
    i8.llVal = 9007199254740993LL;
    VARIANT ui8 = make(VT_UI8);
    ui8.ullVal = 18446744073709551615ULL;

    struct Case {
        VARIANT v;
        USHORT flags;
        std::u16string text;
    } cases[] = {
        {i4(1000000), 0, u"1000000"},
        {i4(-42), 0, u"-42"},
        {i2, 0, u"-300"},
        {i8, 0, u"9007199254740993"},
        {ui8, 0, u"18446744073709551615"},
        {r8(4.25), 0, u"4.25"},
        {r8(0.1 + 0.2), 0, u"0.3"},  // 15 significant digits
        {r8(-0.0), 0, u"0"},
        {r8(1e20), 0, u"1E+20"},
        {r8(1234567.5), 0, u"1234567.5"},
        {r4, 0, u"0.1"},  // 7 significant digits
        {cy, 0, u"-1.2345"},
        {cyWhole, 0, u"7"},
        {cySmall, 0, u"-0.05"},
        {yes, 0, u"-1"},
        {no, 0, u"0"},
        {yes, VARIANT_ALPHABOOL, u"True"},
        {no, VARIANT_ALPHABOOL, u"False"},
        {date, 0, u"15.01.2025"},
        {dateTime, 0, u"15.01.2025 18:00:00"},
        {make(VT_EMPTY), 0, u""},
        {make(VT_NULL), 0, failure(DISP_E_TYPEMISMATCH)},
        {make(VT_DISPATCH), 0, failure(DISP_E_TYPEMISMATCH)},
        {r8(std::numeric_limits<double>::infinity()), 0, failure(DISP_E_OVERFLOW)},
    };
    for (const auto& c : cases) EXPECT_EQ(textOf(c.v, c.flags), c.text) << int(c.v.vt);
}

TEST(VariantToNumber, ParsesTextAndRoundsHalfToEven) {
    struct Case {
        std::u16string text;
        HRESULT hr;
        int32_t value;
    } cases[] = {
        {u"42", S_OK, 42},
        {u"  -7 ", S_OK, -7},
        {u"+15", S_OK, 15},
        {u"2.5", S_OK, 2},
        {u"3.5", S_OK, 4},
        {u"-2.5", S_OK, -2},
        {u"1e3", S_OK, 1000},
        {u"2147483647", S_OK, 2147483647},
        {u"2147483648", DISP_E_OVERFLOW, 0},
        {u"4,25", DISP_E_TYPEMISMATCH, 0},  // "," is not a decimal separator
        {u"abc", DISP_E_TYPEMISMATCH, 0},
        {u"", DISP_E_TYPEMISMATCH, 0},
        {u"inf", DISP_E_TYPEMISMATCH, 0},
    };
    for (const auto& c : cases) {
        BSTR s = allocString(c.text);
        VARIANT src = make(VT_BSTR);
        src.bstrVal = s;
        TVariant out;
        EXPECT_EQ(variantChangeType(&out.v, &src, 0, VT_I4), c.hr) << std::string(c.text.begin(), c.text.end());
        if (c.hr == S_OK) {
            EXPECT_EQ(out.v.vt, VT_I4);
            EXPECT_EQ(out.v.lVal, c.value);
        } else {
            EXPECT_EQ(out.v.vt, VT_EMPTY);  // untouched on failure
        }
        freeString(s);
    }

    TVariant out;
    VARIANT big = r8(3e10);
    EXPECT_EQ(variantChangeType(&out.v, &big, 0, VT_I4), DISP_E_OVERFLOW);
    VARIANT half = r8(-0.5);
    ASSERT_EQ(variantChangeType(&out.v, &half, 0, VT_I2), S_OK);
    EXPECT_EQ(out.v.iVal, 0);
    VARIANT n = i4(7);
    ASSERT_EQ(variantChangeType(&out.v, &n, 0, VT_R8), S_OK);
    EXPECT_EQ(out.v.dblVal, 7.0);
    ASSERT_EQ(variantChangeType(&out.v, &n, 0, VT_BOOL), S_OK);
    EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
}

TEST(VariantChangeType, ResolvesByRefAndConvertsInPlace) {
    int32_t value = 1234;
    VARIANT ref = make(VT_I4 | VT_BYREF);
    ref.plVal = &value;
    EXPECT_EQ(textOf(ref), u"1234");

    VARIANT inner = r8(2.75);
    VARIANT refVar = make(VT_VARIANT | VT_BYREF);
    refVar.pvarVal = &inner;
    EXPECT_EQ(textOf(refVar), u"2.75");

    BSTR s = allocString(u"x");
    VARIANT refText = make(VT_BSTR | VT_BYREF);
    refText.pbstrVal = &s;
    EXPECT_EQ(textOf(refText), u"x");  // a copy: s stays the caller's
    EXPECT_EQ(stringView(s), u"x");
    freeString(s);

    VARIANT v = make(VT_BSTR);
    v.bstrVal = allocString(u"17");
    ASSERT_EQ(variantChangeType(&v, &v, 0, VT_I4), S_OK);  // frees the old text
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 17);

    EXPECT_EQ(variantChangeType(&v, &v, 0, VT_BSTR | VT_BYREF), DISP_E_BADVARTYPE);
}

// Counts its references; never freed.
struct Counted : IUnknown {
    ULONG refs = 1;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
};

TEST(VariantClearAndCopy, OwnValuesAreFreedAndReferencesCounted) {
    Counted object;
    VARIANT a = make(VT_UNKNOWN);
    a.punkVal = &object;
    VARIANT b = make(VT_EMPTY);
    ASSERT_EQ(variantCopy(&b, &a), S_OK);
    EXPECT_EQ(object.refs, 2u);
    EXPECT_EQ(variantClear(&b), S_OK);
    EXPECT_EQ(b.vt, VT_EMPTY);
    EXPECT_EQ(object.refs, 1u);

    VARIANT text = make(VT_BSTR);
    text.bstrVal = allocString(u"kopi");
    VARIANT copy = make(VT_EMPTY);
    ASSERT_EQ(variantCopy(&copy, &text), S_OK);
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    EXPECT_EQ(variantClear(&text), S_OK);
    EXPECT_EQ(stringView(copy.bstrVal), u"kopi");
    EXPECT_EQ(variantClear(&copy), S_OK);

    VARIANT bad = make(VT_I4 | VT_ARRAY);
    EXPECT_EQ(variantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(variantClear(nullptr), E_INVALIDARG);
}

TEST(ResultValue, IntegerRealAndDateReadings) {
    EXPECT_EQ(resultAsInt(u"4,25"), 0);
    EXPECT_EQ(resultAsInt(u"-12"), -12);
    EXPECT_EQ(resultAsInt(u"+7"), 7);
    EXPECT_EQ(resultAsInt(u"99999999999"), 0);
    EXPECT_EQ(resultAsInt(u"12 kr"), 0);
    EXPECT_EQ(resultAsInt(u""), 0);

    EXPECT_EQ(resultAsDouble(u"4,25"), 4.25);
    EXPECT_EQ(resultAsDouble(u"4.25"), 4.25);
    EXPECT_EQ(resultAsDouble(u"-1000000"), -1000000.0);
    EXPECT_EQ(resultAsDouble(u"1.000,50"), 0.0);
    EXPECT_EQ(resultAsDouble(u"nan"), 0.0);
    EXPECT_EQ(resultAsDouble(u"abc"), 0.0);

    // Serial days from 30 December 1899: 1 January 1900 is 2, 1 January
    // 2025 is 45658 (125 years, 31 leap days in 1904..2024).
    EXPECT_EQ(resultAsDate(u"15.01.2025"), 45672.0);
    EXPECT_EQ(resultAsDate(u"01.01.1900"), 2.0);
    EXPECT_EQ(resultAsDate(u"29.02.2024"), 45351.0);
}

TEST(ResultValue, DateFailuresCarryTheirMessages) {
    auto messageOf = [](std::u16string_view text) -> std::u16string {
        try {
            resultAsDate(text);
        } catch (const EAutomation& e) {
            EXPECT_TRUE(FAILED(e.hr()));
            return e.message();
        }
        return u"(no failure)";
    };
    EXPECT_EQ(messageOf(u""), u"Kan ikke konvertere tomt resultat til datetime!");
    EXPECT_EQ(messageOf(u"31.02.2025"), u"Kan ikke konvertere \"31.02.2025\" til datetime verdi!");
    EXPECT_EQ(messageOf(u"3,00"), u"Kan ikke konvertere \"3,00\" til datetime verdi!");
}

}  // namespace
