// The script host: one script engine, named objects published into the
// script's global name space, runs of script text, and script failures
// turned into EActiveScript with the line and position of the fault.
//
// The engine is QJSEngine, started at the first run. Only JScript (plain
// JavaScript) is offered; scripts see the language's own objects and the
// named objects, and nothing that reaches files, the network or processes.
// A run that takes longer than the time limit is interrupted and fails like
// any other script error; the host stays usable.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/script/variants.h"
#include "common/utils/error.h"
#include "mirvo32_com.h"

class QJSEngine;
class QJSValue;

namespace kavelin::activex {

class TScriptBridge;
class TScriptWatchdog;

// Flag of AddNamedItem: the object is visible to scripts as a global name.
inline constexpr unsigned SCRIPTITEM_ISVISIBLE = 2;

// A failed run: message "Scriptfeil: " + "%s i linje %d pos. %d".
class EActiveScript : public utils::EKavelin {
public:
    EActiveScript(std::u16string message, int lineNo, int charNo)
        : EKavelin(std::move(message)), LineNo(lineNo), CharNo(charNo) {}
    int LineNo;
    int CharNo;
};

// The named objects: names (compared without regard to case) with their
// flags, and the objects at the same positions (one reference each).
class TpsvScriptGlobalObjects {
public:
    TpsvScriptGlobalObjects() = default;
    ~TpsvScriptGlobalObjects();
    TpsvScriptGlobalObjects(const TpsvScriptGlobalObjects&) = delete;
    TpsvScriptGlobalObjects& operator=(const TpsvScriptGlobalObjects&) = delete;

    // A new name is appended; an existing one keeps its position and gets
    // the new object and flags. Gives the position.
    int add(std::u16string_view name, IDispatch* object, unsigned flags);
    int indexOf(std::u16string_view name) const;
    int count() const { return int(FNamedList.size()); }
    const std::u16string& name(int i) const { return FNamedList.at(i).name; }
    unsigned flags(int i) const { return FNamedList.at(i).flags; }
    IDispatch* object(int i) const { return FIntfList.at(i); }

private:
    struct TNamed {
        std::u16string name;
        unsigned flags;
    };
    std::vector<TNamed> FNamedList;
    std::vector<IDispatch*> FIntfList;
};

class TActiveScriptSite {
public:
    // (host, line, description, source line text, position)
    using TErrorEvent = std::function<void(TActiveScriptSite&, int, const std::u16string&, const std::u16string&, int)>;

    static constexpr std::chrono::milliseconds kDefaultTimeLimit{5000};

    TActiveScriptSite();
    ~TActiveScriptSite();
    TActiveScriptSite(const TActiveScriptSite&) = delete;
    TActiveScriptSite& operator=(const TActiveScriptSite&) = delete;

    // "VBScript" after creation, which cannot run: the first run fails.
    const std::u16string& scriptLanguage() const { return FScriptLanguage; }
    void setScriptLanguage(std::u16string_view language) { FScriptLanguage = language; }
    // Kept for the callers' sake; scripts never get unsafe objects anyway.
    bool useSafeSubset() const { return FUseSafeSubset; }
    void setUseSafeSubset(bool on) { FUseSafeSubset = on; }
    // The time an outermost run may take (nested runs share it).
    void setTimeLimit(std::chrono::milliseconds limit) { FTimeLimit = limit; }

    // Publishes an object under a name; objects added while an engine runs
    // are known to scripts from the next run on.
    void AddNamedItem(std::u16string_view name, IDispatch* object, unsigned flags = SCRIPTITEM_ISVISIBLE);

    // Runs script text; the value of its last expression.
    TOleVariant Execute(std::u16string_view code);
    // As Execute, with the value as text (numbers in the value-text form).
    std::u16string RunExpression(std::u16string_view code);

    // Frees the engine; the named objects stay registered.
    void Clear();
    bool IsClear() const { return !FEngine; }
    // Runs in progress (more than one when a script started a nested run).
    int runDepth() const { return FRunDepth; }

    const std::u16string& LastError() const { return FLastError; }
    int errorLine() const { return FErrorLine; }
    int errorPos() const { return FErrorPos; }
    TErrorEvent OnError;

private:
    void startEngine();
    void syncNamedItems();
    QJSValue run(std::u16string_view code);
    [[noreturn]] void scriptError(const QJSValue& error, const std::vector<std::u16string>& stack,
                                  std::u16string_view code, bool timedOut);

    std::u16string FScriptLanguage = u"VBScript";
    bool FUseSafeSubset = false;
    TpsvScriptGlobalObjects FGlobalObjects;
    std::unique_ptr<QJSEngine> FEngine;
    std::unique_ptr<TScriptBridge> FBridge;
    int FAddNamedSyncCount = 0;
    std::u16string FLastError;
    int FErrorLine = 0;
    int FErrorPos = 0;
    int FRunDepth = 0;
    std::chrono::milliseconds FTimeLimit = kDefaultTimeLimit;
    std::unique_ptr<TScriptWatchdog> FWatchdog;
    bool FTimedOut = false;
};

}  // namespace kavelin::activex
