#include "app/ui/script/script_site.h"

#include <QJSEngine>
#include <QJSValue>
#include <QStringList>

#include "app/ui/script/script_bridge.h"
#include "app/ui/script/script_watchdog.h"
#include "common/text/numtext.h"
#include "app/ui/qt_text.h"

namespace kavelin::activex {

namespace {

// The file name script text runs under; frames of it locate a fault.
const QString kScriptFile = QStringLiteral("script");

using kavelin::text::qs;

bool isJScript(std::u16string_view language) {
    return sameText(language, u"JScript") || sameText(language, u"JavaScript") || sameText(language, u"ECMAScript");
}

// The text of line `line` (1-based) of the code.
std::u16string sourceLine(std::u16string_view code, int line) {
    size_t start = 0;
    for (int i = 1; i < line; ++i) {
        start = code.find(u'\n', start);
        if (start == std::u16string_view::npos) return {};
        ++start;
    }
    size_t end = code.find_first_of(u"\r\n", start);
    return std::u16string(code.substr(start, end == std::u16string_view::npos ? code.npos : end - start));
}

// A frame of the engine's stack trace: "function:line:column:file", the
// file as a URL ("file:script").
struct TFrame {
    int line = 0;
    int column = -1;
    bool inScript = false;
};

std::optional<TFrame> parseFrame(const QString& frame) {
    const QStringList parts = frame.split(QLatin1Char(':'));
    if (parts.size() < 4) return std::nullopt;
    TFrame f;
    f.line = parts[1].toInt();
    f.column = parts[2].toInt();
    f.inScript = parts.last() == kScriptFile;
    return f;
}

}  // namespace

// ---- TpsvScriptGlobalObjects ----------------------------------------------------

TpsvScriptGlobalObjects::~TpsvScriptGlobalObjects() {
    for (IDispatch* object : FIntfList)
        if (object) object->Release();
}

int TpsvScriptGlobalObjects::indexOf(std::u16string_view name) const {
    for (size_t i = 0; i < FNamedList.size(); ++i)
        if (sameText(FNamedList[i].name, name)) return int(i);
    return -1;
}

int TpsvScriptGlobalObjects::add(std::u16string_view name, IDispatch* object, unsigned flags) {
    if (object) object->AddRef();
    int i = indexOf(name);
    if (i < 0) {
        FNamedList.push_back({std::u16string(name), flags});
        FIntfList.push_back(object);
        return count() - 1;
    }
    if (FIntfList[i]) FIntfList[i]->Release();
    FIntfList[i] = object;
    FNamedList[i].flags = flags;
    return i;
}

// ---- TActiveScriptSite -------------------------------------------------------------

TActiveScriptSite::TActiveScriptSite()
    : FWatchdog(std::make_unique<TScriptWatchdog>([this] {
          // Thread-safe by contract of QJSEngine.
          if (FEngine) FEngine->setInterrupted(true);
      })) {}

TActiveScriptSite::~TActiveScriptSite() {
    FWatchdog.reset();
    Clear();
}

void TActiveScriptSite::AddNamedItem(std::u16string_view name, IDispatch* object, unsigned flags) {
    const int i = FGlobalObjects.add(name, object, flags);
    // A replaced object is handed to the engine again at the next run.
    if (i < FAddNamedSyncCount) FAddNamedSyncCount = i;
}

void TActiveScriptSite::Clear() {
    // The engine goes first: its Proxies call into the bridge.
    FEngine.reset();
    FBridge.reset();
    FAddNamedSyncCount = 0;
}

void TActiveScriptSite::startEngine() {
    if (FEngine) return;
    if (!isJScript(FScriptLanguage))
        throw EActiveScript(u"Scriptspråket \"" + FScriptLanguage + u"\" støttes ikke; bare JScript kan brukes", 0, 0);
    // A bare QJSEngine: the ECMAScript objects only, no console, no Qt
    // object, no module loading from files or the network.
    FEngine = std::make_unique<QJSEngine>();
    FBridge = std::make_unique<TScriptBridge>(*FEngine);
    FAddNamedSyncCount = 0;
}

void TActiveScriptSite::syncNamedItems() {
    QJSValue global = FEngine->globalObject();
    for (int i = FAddNamedSyncCount; i < FGlobalObjects.count(); ++i)
        if (FGlobalObjects.flags(i) & SCRIPTITEM_ISVISIBLE)
            global.setProperty(qs(FGlobalObjects.name(i)), FBridge->wrap(FGlobalObjects.object(i)));
    FAddNamedSyncCount = FGlobalObjects.count();
}

QJSValue TActiveScriptSite::run(std::u16string_view code) {
    startEngine();
    syncNamedItems();
    const bool outermost = FRunDepth == 0;
    if (outermost) FWatchdog->arm(FTimeLimit);
    ++FRunDepth;
    QStringList stack;
    QJSValue value = FEngine->evaluate(qs(code), kScriptFile, 1, &stack);
    --FRunDepth;
    const bool failed = value.isError() || !stack.isEmpty();
    bool timedOut = FEngine->isInterrupted();
    if (outermost) {
        timedOut = FWatchdog->disarm() || timedOut;
        FEngine->setInterrupted(false);
    }
    if (!failed) return value;
    std::vector<std::u16string> frames;
    for (const QString& f : stack) frames.push_back(f.toStdU16String());
    scriptError(value, frames, code, timedOut);
}

void TActiveScriptSite::scriptError(const QJSValue& error, const std::vector<std::u16string>& stack,
                                    std::u16string_view code, bool timedOut) {
    std::u16string description;
    if (timedOut) {
        description = u"Scriptet ble avbrutt fordi det brukte mer enn " +
                      numberText(double(FTimeLimit.count()) / 1000.0) + u" sekunder";
    } else if (error.isError()) {
        const QString name = error.property(QStringLiteral("name")).toString();
        description = (name == QLatin1String("Error") ? error.property(QStringLiteral("message")).toString()
                                                      : error.toString())
                          .toStdU16String();
    } else {
        description = error.toString().toStdU16String();
    }
    int line = error.isError() ? error.property(QStringLiteral("lineNumber")).toInt() : 0;
    int pos = 0;
    for (const std::u16string& f : stack) {
        auto frame = parseFrame(qs(f));
        if (frame && frame->inScript) {
            line = frame->line;
            pos = std::max(frame->column, 0);  // -1: the engine gives no column
            break;
        }
    }
    FErrorLine = line;
    FErrorPos = pos;
    FLastError = description + u" i linje " + text::intText(line) + u" pos. " + text::intText(pos);
    if (OnError) OnError(*this, line, description, sourceLine(code, line), pos);
    throw EActiveScript(u"Scriptfeil: " + FLastError, line, pos);
}

TOleVariant TActiveScriptSite::Execute(std::u16string_view code) {
    QJSValue value = run(code);
    return FBridge->toVariant(value);
}

std::u16string TActiveScriptSite::RunExpression(std::u16string_view code) {
    QJSValue value = run(code);
    if (value.isUndefined() || value.isNull()) return {};
    if (value.isNumber()) return numberText(value.toNumber());
    return value.toString().toStdU16String();
}

}  // namespace kavelin::activex
