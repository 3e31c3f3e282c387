// The one generic bridge between the script engine (QJSEngine) and
// late-bound objects: every IDispatch a script sees is a JavaScript Proxy
// whose traps call back here. A property read asks the object for the
// member's value; a member that turns out to be a method becomes a function
// that calls it; writes go to the object's property setter.
//
// The bridge holds one reference to each object it has handed to the
// script, and gives the same Proxy for the same object, until it is freed.
#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <QObject>
#include <QString>

#include <span>
#include <unordered_map>
#include <vector>

#include "app/ui/script/variants.h"

namespace kavelin::activex {

class TScriptBridge : public QObject {
    Q_OBJECT
public:
    explicit TScriptBridge(QJSEngine& engine);
    ~TScriptBridge() override;

    // The Proxy standing for the object (null for none).
    QJSValue wrap(IDispatch* object);
    // Values across the boundary; a Proxy of this bridge becomes its object.
    TOleVariant toVariant(const QJSValue& value);
    QJSValue toScript(const VARIANT& value);

    // Called by the Proxy traps. get answers [kind, value]: kind 0 a value,
    // 1 a method, 2 a name the object does not know.
    Q_INVOKABLE QJSValue get(int handle, const QString& name);
    Q_INVOKABLE void set(int handle, const QString& name, const QJSValue& value);
    Q_INVOKABLE QJSValue call(int handle, const QString& name, const QJSValue& args);
    Q_INVOKABLE bool has(int handle, const QString& name);

private:
    // The member's DISPID; -1 (and nothing thrown) when the name is unknown.
    DISPID dispId(int handle, const QString& name);
    // Invoke with the arguments in written order; on failure the text to
    // report is put in failure.
    HRESULT invoke(int handle, DISPID id, WORD flags, std::span<const TOleVariant> args, TOleVariant& result,
                   const QString& name, QString& failure);
    // toScript, with a failure raised as a script exception.
    QJSValue scriptValue(const TOleVariant& value);
    void throwError(const QString& message);

    QJSEngine& FEngine;
    QJSValue FFactory;  // {make(handle), handleOf(value)}
    std::vector<IDispatch*> FObjects;  // one reference each; the handle is the position
    std::vector<QJSValue> FProxies;
    std::unordered_map<IDispatch*, int> FHandles;
};

}  // namespace kavelin::activex
