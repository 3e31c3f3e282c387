#include "app/ui/script/script_bridge.h"

#include <QDateTime>

#include <cmath>
#include <limits>

#include "common/utils/dates.h"
#include "common/utils/error.h"
#include "app/ui/qt_text.h"

namespace kavelin::activex {

namespace {

// Evaluated once per engine with the bridge as argument. The Proxy target
// is an empty object; symbols (engine-internal probes) and the names of
// Object.prototype that an object does not have fall back to the target.
const char* const kFactory = R"JS(
(function (bridge) {
    var handles = new WeakMap();
    function make(h) {
        var proxy = new Proxy({}, {
            get: function (target, name) {
                if (typeof name === 'symbol') return undefined;
                var r = bridge.get(h, name);
                if (r[0] === 0) return r[1];
                if (r[0] === 1) return function () {
                    return bridge.call(h, name, Array.prototype.slice.call(arguments));
                };
                if (name in Object.prototype) return Object.prototype[name];
                throw new TypeError('Unknown name: ' + name);
            },
            set: function (target, name, value) {
                if (typeof name === 'symbol') return false;
                bridge.set(h, name, value);
                return true;
            },
            has: function (target, name) {
                return typeof name !== 'symbol' && bridge.has(h, name);
            }
        });
        handles.set(proxy, h);
        return proxy;
    }
    function handleOf(value) {
        var h = handles.get(value);
        return h === undefined ? -1 : h;
    }
    return { make: make, handleOf: handleOf };
})
)JS";

using kavelin::text::qs;
std::u16string ustr(const QString& s) { return s.toStdU16String(); }

DATE oleDateOf(const QDateTime& dt) {
    const QDate d = dt.date();
    const double day = utils::dato2intdate(finans::Datorec::ymd(d.year(), d.month(), d.day()));
    return day + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime dateTimeOf(DATE v) {
    const double whole = std::floor(v);
    const finans::Datorec d = utils::intdate2dato(finans::TIntDate(whole));
    const int ms = int(std::lround((v - whole) * 86400000.0));
    return QDateTime(QDate(d.year(), d.month(), d.day()), QTime::fromMSecsSinceStartOfDay(ms));
}

}  // namespace

TScriptBridge::TScriptBridge(QJSEngine& engine) : FEngine(engine) {
    QJSValue factory = FEngine.evaluate(QString::fromLatin1(kFactory), QStringLiteral("mirvo-bridge"));
    FFactory = factory.call({FEngine.newQObject(this)});
    // newQObject gives the engine no ownership of a parentless object it
    // did not create: the host owns the bridge.
    QJSEngine::setObjectOwnership(this, QJSEngine::CppOwnership);
}

TScriptBridge::~TScriptBridge() {
    for (IDispatch* object : FObjects) object->Release();
}

QJSValue TScriptBridge::wrap(IDispatch* object) {
    if (!object) return QJSValue(QJSValue::NullValue);
    if (auto it = FHandles.find(object); it != FHandles.end()) return FProxies[it->second];
    const int handle = int(FObjects.size());
    object->AddRef();
    FObjects.push_back(object);
    FHandles.emplace(object, handle);
    FProxies.push_back(FFactory.property(QStringLiteral("make")).call({handle}));
    return FProxies.back();
}

TOleVariant TScriptBridge::toVariant(const QJSValue& value) {
    if (value.isUndefined()) return {};
    if (value.isNull()) {
        TOleVariant r;
        r.v.vt = VT_NULL;
        return r;
    }
    if (value.isBool()) return TOleVariant::fromBool(value.toBool());
    if (value.isNumber()) {
        const double d = value.toNumber();
        // Whole numbers travel as integers, as a script engine hands them.
        if (d == std::trunc(d) && std::fabs(d) <= std::numeric_limits<int32_t>::max() && !std::signbit(d))
            return TOleVariant::fromInt(int32_t(d));
        if (d == std::trunc(d) && d >= std::numeric_limits<int32_t>::min() && d < 0)
            return TOleVariant::fromInt(int32_t(d));
        return TOleVariant::fromDouble(d);
    }
    if (value.isString()) return TOleVariant::fromText(ustr(value.toString()));
    if (value.isDate()) return TOleVariant::fromDate(oleDateOf(value.toDateTime().toLocalTime()));
    if (value.isObject()) {
        const int handle = FFactory.property(QStringLiteral("handleOf")).call({value}).toInt();
        if (handle >= 0 && handle < int(FObjects.size())) return TOleVariant::fromDispatch(FObjects[handle]);
    }
    return TOleVariant::fromText(ustr(value.toString()));
}

QJSValue TScriptBridge::toScript(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY: return QJSValue(QJSValue::UndefinedValue);
        case VT_NULL: return QJSValue(QJSValue::NullValue);
        case VT_BOOL: return QJSValue(value.boolVal != 0);
        case VT_BSTR: return QJSValue(qs(variantText(value)));
        case VT_DATE: return FEngine.toScriptValue(dateTimeOf(value.date));
        case VT_DISPATCH: return wrap(value.pdispVal);
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT:
        case VT_UINT: case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_CY:
            return QJSValue(variantNumber(value));
        default:
            if (value.vt & VT_BYREF) return toScript(TOleVariant(value).v);
            throw utils::EKavelin(u"Invalid property type: " + ustr(QString::number(value.vt)));
    }
}

void TScriptBridge::throwError(const QString& message) { FEngine.throwError(message); }

DISPID TScriptBridge::dispId(int handle, const QString& name) {
    if (handle < 0 || handle >= int(FObjects.size())) return -1;
    std::u16string n = ustr(name);
    LPOLESTR names[1] = {n.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(FObjects[handle]->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return -1;
    return id;
}

HRESULT TScriptBridge::invoke(int handle, DISPID id, WORD flags, std::span<const TOleVariant> args,
                              TOleVariant& result, const QString& name, QString& failure) {
    // The callee receives the arguments last first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO excep{};
    UINT argErr = 0;
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = FObjects[handle]->Invoke(id, IID_NULL, 0, flags, &params, &out, &excep, &argErr);
    if (SUCCEEDED(hr)) {
        result = TOleVariant(out);
        VariantClear(&out);
        return hr;
    }
    if (hr == DISP_E_EXCEPTION && excep.bstrDescription)
        failure = QString::fromUtf16(excep.bstrDescription, SysStringLen(excep.bstrDescription));
    else
        failure = QStringLiteral("Invoke error (0x%1) for %2").arg(quint32(hr), 8, 16, QLatin1Char('0')).arg(name);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return hr;
}

QJSValue TScriptBridge::scriptValue(const TOleVariant& value) {
    try {
        return toScript(value.v);
    } catch (const utils::EKavelin& e) {
        throwError(qs(e.message()));
        return {};
    }
}

QJSValue TScriptBridge::get(int handle, const QString& name) {
    QJSValue answer = FEngine.newArray(2);
    const DISPID id = dispId(handle, name);
    if (id < 0) {
        answer.setProperty(0, 2);
        return answer;
    }
    TOleVariant value;
    QString failure;
    const HRESULT hr = invoke(handle, id, DISPATCH_PROPERTYGET, {}, value, name, failure);
    // A method answers a property read with DISP_E_MEMBERNOTFOUND.
    if (hr == DISP_E_MEMBERNOTFOUND) {
        answer.setProperty(0, 1);
        return answer;
    }
    if (FAILED(hr)) {
        throwError(failure);
        return {};
    }
    answer.setProperty(0, 0);
    answer.setProperty(1, scriptValue(value));
    return answer;
}

void TScriptBridge::set(int handle, const QString& name, const QJSValue& value) {
    const DISPID id = dispId(handle, name);
    if (id < 0) return throwError(QStringLiteral("Unknown name: %1").arg(name));
    std::vector<TOleVariant> args;
    args.push_back(toVariant(value));
    TOleVariant ignored;
    QString failure;
    if (FAILED(invoke(handle, id, DISPATCH_PROPERTYPUT, args, ignored, name, failure))) throwError(failure);
}

QJSValue TScriptBridge::call(int handle, const QString& name, const QJSValue& jsArgs) {
    const DISPID id = dispId(handle, name);
    if (id < 0) {
        throwError(QStringLiteral("Unknown name: %1").arg(name));
        return {};
    }
    std::vector<TOleVariant> args;
    const int n = jsArgs.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < n; ++i) args.push_back(toVariant(jsArgs.property(quint32(i))));
    TOleVariant result;
    QString failure;
    if (FAILED(invoke(handle, id, DISPATCH_METHOD, args, result, name, failure))) {
        throwError(failure);
        return {};
    }
    return scriptValue(result);
}

bool TScriptBridge::has(int handle, const QString& name) { return dispId(handle, name) >= 0; }

}  // namespace kavelin::activex
