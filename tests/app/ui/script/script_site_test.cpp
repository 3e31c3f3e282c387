#include "app/ui/script/script_site.h"

#include "app/ui/script/dispatch_object.h"
#include "common/text/encoding.h"
#include "tests/support/core_app.h"

#include <gtest/gtest.h>

#include <map>

using namespace kavelin::activex;
using kavelin::text::toUtf8;

namespace {

// A fixed object: a writable value, a read-only caption and two methods.
class TTestItem : public TDispatchObjectNew {
public:
    TTestItem() {
        publish({u"value", [this] { return value; }, [this](const VARIANT& v) { value = TOleVariant(v); }, {}});
        publish({u"caption", [] { return TOleVariant::fromText(u"Lånebeløp"); }, {}, {}});
        publish({u"sub", {}, {}, [](std::span<const TOleVariant> a) {
                     return TOleVariant::fromDouble(variantNumber(a[0].v) - variantNumber(a[1].v));
                 }});
        publish({u"fail", {}, {}, [](std::span<const TOleVariant>) -> TOleVariant {
                     throw kavelin::utils::EKavelin(u"feil i metoden");
                 }});
    }
    TOleVariant value;
};

// Any name is a member: a text value, or an object stored under the name.
class TTestBag : public TNameMapDispatch {
public:
    std::map<std::u16string, TOleVariant> values;

protected:
    TOleVariant invokeName(const std::u16string& name, WORD flags, std::span<const TOleVariant> args) override {
        if (flags & DISPATCH_PROPERTYPUT) {
            values[name] = args[0];
            return {};
        }
        return values[name];
    }
};

// Runs nested script text from inside a script, as the case data does.
class TNester : public TDispatchObjectNew {
public:
    explicit TNester(TActiveScriptSite& host) {
        publish({u"run", {}, {}, [&host](std::span<const TOleVariant> a) {
                     try {
                         return host.Execute(variantText(a[0].v));
                     } catch (const EActiveScript& e) {
                         return TOleVariant::fromText(e.message());
                     }
                 }});
    }
};

template <class T>
T* newObject(T* p) {
    p->AddRef();
    return p;
}

std::string scriptError(TActiveScriptSite& host, std::u16string_view code) {
    try {
        host.Execute(code);
    } catch (const EActiveScript& e) {
        return toUtf8(e.message());
    }
    return "no error";
}

class ScriptSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mirvo::test::ensureCoreApp(); }
    ScriptSite() { host.setScriptLanguage(u"JScript"); }
    TActiveScriptSite host;
};

}  // namespace

TEST_F(ScriptSite, ValuesOfScriptText) {
    TOleVariant two = host.Execute(u"1+1");
    EXPECT_EQ(two.type(), VT_I4);
    EXPECT_EQ(two.v.lVal, 2);
    // Numbers as text: decimal comma, no grouping, no exponent.
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"1+1", u"2"},          {u"4.5", u"4,5"},         {u"500000", u"500000"},
        {u"0.1+0.2", u"0,3"},    {u"1e21", u"1000000000000000000000"},
        {u"-2/3", u"-0,666666666666667"}, {u"0.00125", u"0,00125"}, {u"'tekst'", u"tekst"}, {u"undefined", u""},
    };
    for (auto [code, text] : cases) EXPECT_EQ(toUtf8(host.RunExpression(code)), toUtf8(text)) << toUtf8(code);
}

TEST_F(ScriptSite, NamedObjectsAreGlobalsWithPropertiesAndMethods) {
    auto* item = newObject(new TTestItem);
    host.AddNamedItem(u"Initial_LBELOP", item);
    item->Release();

    EXPECT_EQ(host.RunExpression(u"Initial_LBELOP.value = 7; Initial_LBELOP.value * 2"), u"14");
    EXPECT_EQ(item->value.type(), VT_I4);
    EXPECT_EQ(host.RunExpression(u"Initial_LBELOP.CAPTION"), u"Lånebeløp") << "members without regard to case";
    // Arguments arrive in written order.
    EXPECT_EQ(host.RunExpression(u"Initial_LBELOP.sub(10, 3)"), u"7");
    host.Execute(u"Initial_LBELOP.value = 'abc'");
    EXPECT_EQ(variantText(item->value.v), u"abc");

    EXPECT_EQ(scriptError(host, u"Initial_LBELOP.caption = 'x'"),
              "Scriptfeil: Property caption is read-only i linje 1 pos. 0");
    EXPECT_EQ(scriptError(host, u"\nInitial_LBELOP.fail()"), "Scriptfeil: feil i metoden i linje 2 pos. 0");
    EXPECT_EQ(scriptError(host, u"Initial_LBELOP.nosuch"), "Scriptfeil: TypeError: Unknown name: nosuch i linje 1 pos. 0");
}

TEST_F(ScriptSite, NameMappedObjectsGoThroughOneProxy) {
    auto* bag = newObject(new TTestBag);
    auto* inner = newObject(new TTestItem);
    bag->values[u"inner"] = TOleVariant::fromDispatch(inner);
    host.AddNamedItem(u"$", bag);
    bag->Release();
    inner->Release();

    EXPECT_EQ(host.RunExpression(u"$.anything = 'x'; $.anything + $.other"), u"xundefined");
    host.Execute(u"$.inner.value = 4.5");
    EXPECT_EQ(variantText(inner->value.v), u"4,5");
    // The same object comes back as the same Proxy, and goes back as itself.
    EXPECT_EQ(host.RunExpression(u"$.inner === $.inner"), u"true");
    host.Execute(u"$.copy = $.inner");
    ASSERT_EQ(bag->values[u"copy"].type(), VT_DISPATCH);
    EXPECT_EQ(bag->values[u"copy"].v.pdispVal, static_cast<IDispatch*>(inner));
    EXPECT_EQ(host.RunExpression(u"'anything' in $"), u"true");
}

TEST_F(ScriptSite, ErrorsGiveLineAndPositionAndLeaveTheHostUsable) {
    int reportedLine = -1;
    std::u16string reportedSource;
    host.OnError = [&](TActiveScriptSite&, int line, const std::u16string&, const std::u16string& source, int) {
        reportedLine = line;
        reportedSource = source;
    };
    // Syntax errors carry a column; run-time errors do not (position 0).
    std::string syntax = scriptError(host, u"var a = 1;\nvar x = ;");
    EXPECT_EQ(syntax.rfind("Scriptfeil: SyntaxError: ", 0), 0u) << syntax;
    EXPECT_TRUE(syntax.ends_with(" i linje 2 pos. 9")) << syntax;
    EXPECT_EQ(reportedLine, 2);
    EXPECT_EQ(reportedSource, u"var x = ;");

    EXPECT_EQ(scriptError(host, u"var a = 1;\n\n  foo.bar"),
              "Scriptfeil: ReferenceError: foo is not defined i linje 3 pos. 0");
    EXPECT_EQ(scriptError(host, u"throw 'stopp'"), "Scriptfeil: stopp i linje 1 pos. 0");
    EXPECT_EQ(host.errorLine(), 1);

    // The next run works; LastError still tells the earlier failure.
    EXPECT_EQ(host.RunExpression(u"1+1"), u"2");
    EXPECT_EQ(toUtf8(host.LastError()), "stopp i linje 1 pos. 0");
}

TEST_F(ScriptSite, ObjectsAddedWhileTheEngineRunsAreKnownFromTheNextRun) {
    EXPECT_EQ(host.RunExpression(u"typeof later"), u"undefined");
    auto* item = newObject(new TTestItem);
    host.AddNamedItem(u"later", item);
    item->Release();
    EXPECT_EQ(host.RunExpression(u"later.caption"), u"Lånebeløp");
    // A replaced object takes the name over.
    auto* bag = newObject(new TTestBag);
    bag->values[u"caption"] = TOleVariant::fromText(u"ny");
    host.AddNamedItem(u"LATER", bag);
    bag->Release();
    EXPECT_EQ(host.RunExpression(u"later.caption"), u"ny");
    // Clear drops the engine and its variables, not the named objects.
    host.Execute(u"var kept = 1");
    host.Clear();
    EXPECT_TRUE(host.IsClear());
    EXPECT_EQ(host.RunExpression(u"typeof kept + ' ' + later.caption"), u"undefined ny");
}

TEST_F(ScriptSite, LoopingScriptsAreInterrupted) {
    host.setTimeLimit(std::chrono::milliseconds(200));
    for (std::u16string_view code : {std::u16string_view(u"while(true){}"),
                                     std::u16string_view(u"while(true){ try { while(true){} } catch (e) {} }")}) {
        std::string error = scriptError(host, code);
        EXPECT_EQ(error.rfind("Scriptfeil: Scriptet ble avbrutt fordi det brukte mer enn 0,2 sekunder i linje ", 0), 0u)
            << error;
        EXPECT_EQ(host.RunExpression(u"1+1"), u"2");
    }
}

TEST_F(ScriptSite, NestedRunsShareTheEngine) {
    auto* nester = newObject(new TNester(host));
    host.AddNamedItem(u"host", nester);
    nester->Release();
    host.Execute(u"var outer = 1");
    EXPECT_EQ(host.RunExpression(u"host.run('outer + 1')"), u"2");
    EXPECT_EQ(host.RunExpression(u"host.run('nosuch')"), u"Scriptfeil: ReferenceError: nosuch is not defined i linje 1 pos. 0");
    EXPECT_EQ(host.runDepth(), 0);
    // A nested run that loops stops the outer run too.
    host.setTimeLimit(std::chrono::milliseconds(200));
    std::string error = scriptError(host, u"host.run('while(true){}'); while(true){}");
    EXPECT_NE(error.find("avbrutt"), std::string::npos) << error;
    EXPECT_EQ(host.RunExpression(u"outer"), u"1");
}

TEST(ScriptSiteLanguage, VBScriptIsRefused) {
    mirvo::test::ensureCoreApp();
    TActiveScriptSite host;
    EXPECT_EQ(host.scriptLanguage(), u"VBScript");
    EXPECT_EQ(scriptError(host, u"1+1"), "Scriptspråket \"VBScript\" støttes ikke; bare JScript kan brukes");
    host.setScriptLanguage(u"jscript");
    EXPECT_EQ(host.RunExpression(u"1+1"), u"2");
}

TEST_F(ScriptSite, ScriptsReachNoFilesNetworkOrProcesses) {
    EXPECT_EQ(host.RunExpression(u"[typeof XMLHttpRequest, typeof require, typeof Qt, typeof print, typeof console,"
                                 u" typeof process, typeof fetch, typeof importScripts].join()"),
              u"undefined,undefined,undefined,undefined,undefined,undefined,undefined,undefined");
    std::string error = scriptError(host, u"import('/etc/passwd')");
    EXPECT_EQ(error.rfind("Scriptfeil: SyntaxError", 0), 0u) << error;
    error = scriptError(host, u"import x from '/etc/passwd'");
    EXPECT_EQ(error.rfind("Scriptfeil: SyntaxError", 0), 0u) << error;
}
