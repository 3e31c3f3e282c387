// Base classes of the configuration tree: the parent link and change
// tracking shared by every configuration object, and the owning ordered
// list that the windows, places and report lists build on.
//
// changed() marks an object and walks up the parent chain until it meets an
// object inside an update or load bracket (that one is marked but stops the
// walk). Setters call it only on a real change.
#pragma once

#include "app/ui/config/oppsett_types.h"

#include <memory>
#include <vector>

namespace mirvo::oppsett {

class TOppsettBaseClass {
public:
    explicit TOppsettBaseClass(TOppsettBaseClass* parent = nullptr) : FParent(parent) {}
    virtual ~TOppsettBaseClass() = default;
    TOppsettBaseClass(const TOppsettBaseClass&) = delete;
    TOppsettBaseClass& operator=(const TOppsettBaseClass&) = delete;

    virtual void save(xml::TXMLElement& e) const {}
    virtual void load(const xml::TXMLElement& e) {}
    // Adds the element's ID to the list; fails on a repeat.
    virtual void checkIDs(TIDListe& ids) const {}
    // Copies from an object of the same class (inside an update bracket).
    virtual void assign(const TOppsettBaseClass& source) {}
    virtual void clearChangeFlags() { FChanged = false; }
    // A new object of the same class, parented to `parent`, assigned from
    // this one.
    virtual std::unique_ptr<TOppsettBaseClass> copy(TOppsettBaseClass* parent) const = 0;

    void changed();
    void beginUpdate() { ++FInUpdate; }
    void endUpdate();
    void beginLoad() { ++FInUpdate; }
    void endLoad() { --FInUpdate; }

    bool isChanged() const { return FChanged; }
    TOppsettBaseClass* parent() const { return FParent; }
    void setParent(TOppsettBaseClass* parent) { FParent = parent; }

protected:
    // Stores the value and reports a change only when it differs.
    template <class V, class W>
    void setValue(V& field, W&& value) {
        if (field == value) return;
        field = std::forward<W>(value);
        changed();
    }

    TOppsettBaseClass* FParent;
    int32_t FInUpdate = 0;
    bool FChanged = false;
};

// Brackets that end also when an error leaves the scope.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TOppsettBaseClass& o) : FObj(o) { FObj.beginUpdate(); }
    ~TUpdateGuard() { FObj.endUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TOppsettBaseClass& FObj;
};
class TLoadGuard {
public:
    explicit TLoadGuard(TOppsettBaseClass& o) : FObj(o) { FObj.beginLoad(); }
    ~TLoadGuard() { FObj.endLoad(); }
    TLoadGuard(const TLoadGuard&) = delete;
    TLoadGuard& operator=(const TLoadGuard&) = delete;

private:
    TOppsettBaseClass& FObj;
};

// The source of an assign as its own class; fails for another class.
template <class T>
const T& sameClass(const TOppsettBaseClass& source) {
    const T* s = dynamic_cast<const T*>(&source);
    if (!s) throw EOppsett(u"Kan ikke kopiere oppsett av en annen type");
    return *s;
}

// Ordered list that owns its items.
class TOppsettListBaseClass : public TOppsettBaseClass {
public:
    using TOppsettBaseClass::TOppsettBaseClass;

    size_t count() const { return FItems.size(); }
    // Fails for an index outside 0 .. count - 1.
    TOppsettBaseClass& getItem(size_t index) const;
    // Position of the item, -1 when it is not in the list.
    int indexOfItem(const TOppsettBaseClass& item) const;
    // Removes and frees the item.
    void deleteItem(const TOppsettBaseClass& item);
    void switchPlace(size_t a, size_t b);
    void clear();
    void clearChangeFlags() override;

protected:
    template <class T>
    T& append(std::unique_ptr<T> item) {
        T& ref = *item;
        ref.setParent(this);
        FItems.push_back(std::move(item));
        return ref;
    }
    // Replaces the items by copies of the source's items.
    void assignItems(const TOppsettListBaseClass& source);

    std::vector<std::unique_ptr<TOppsettBaseClass>> FItems;
};

// A list whose items are all of one class.
template <class T>
class TOppsettList : public TOppsettListBaseClass {
public:
    using TOppsettListBaseClass::TOppsettListBaseClass;
    T& operator[](size_t index) const { return static_cast<T&>(getItem(index)); }
};

}  // namespace mirvo::oppsett
