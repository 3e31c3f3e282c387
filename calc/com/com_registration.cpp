#include "calc/com/com_registration.h"

#include "calc/com/class_factory.h"
#include "common/text/casing.h"

namespace mirvo::com {

namespace {

constexpr std::u16string_view kLibraryHelp = u"Mirvo Win32 DLL / COM-Library";
constexpr std::u16string_view kVersion = u"1.0";
constexpr std::u16string_view kLocaleKey = u"409";  // locale 1033
constexpr std::u16string_view kPlatformKey = sizeof(void*) == 8 ? u"linux64" : u"linux32";
// The automation marshaler, standard for dual interfaces.
constexpr GUID kProxyStub = {0x00020424, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct TInterfaceName {
    const IID& iid;
    std::u16string_view name;
};
constexpr TInterfaceName kInterfaces[] = {
    {IID_IMirvo, u"IMirvo"},
    {IID_IMirvoPortfolio, u"IMirvoPortfolio"},
    {IID_IMirvoResult, u"IMirvoResult"},
    {IID_IMirvoError, u"IMirvoError"},
};

std::u16string hex(uint32_t v, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string s(size_t(digits), u'0');
    for (int i = digits - 1; i >= 0; --i, v >>= 4) s[size_t(i)] = kDigits[v & 0xF];
    return s;
}

std::u16string join(std::initializer_list<std::u16string_view> parts) {
    std::u16string out;
    for (auto p : parts) {
        if (!out.empty()) out += u'\\';
        out += p;
    }
    return out;
}

std::u16string classKey(const TComClass& c) { return join({u"CLSID", guidText(c.clsid)}); }
std::u16string typeLibKey() { return join({u"TypeLib", guidText(LIBID_Mirvo32)}); }
std::u16string interfaceKey(const IID& iid) { return join({u"Interface", guidText(iid)}); }

std::u16string descriptionOf(const TComClass& c) {
    return std::u16string(c.helpText.empty() ? c.name : c.helpText);
}

std::u16string folderOf(std::u16string_view path) {
    const size_t slash = path.rfind(u'/');
    return std::u16string(slash == std::u16string_view::npos ? std::u16string_view(u".") : path.substr(0, slash));
}

}  // namespace

std::u16string guidText(const GUID& g) {
    std::u16string s = u"{" + hex(g.Data1, 8) + u"-" + hex(g.Data2, 4) + u"-" + hex(g.Data3, 4) + u"-";
    for (int i = 0; i < 8; ++i) {
        if (i == 2) s += u'-';
        s += hex(g.Data4[i], 2);
    }
    return s + u"}";
}

void writeRegistration(TRegistrationStore& store, std::u16string_view libraryPath) {
    const std::u16string lib = typeLibKey();
    const std::u16string libVersion = join({lib, kVersion});
    store.setValue(libVersion, u"", kLibraryHelp);
    store.setValue(join({libVersion, kLocaleKey, kPlatformKey}), u"", libraryPath);
    store.setValue(join({libVersion, u"FLAGS"}), u"", u"0");
    store.setValue(join({libVersion, u"HELPDIR"}), u"", folderOf(libraryPath));

    for (const auto& i : kInterfaces) {
        const std::u16string key = interfaceKey(i.iid);
        store.setValue(key, u"", i.name);
        store.setValue(join({key, u"ProxyStubClsid32"}), u"", guidText(kProxyStub));
        store.setValue(join({key, u"TypeLib"}), u"", guidText(LIBID_Mirvo32));
        store.setValue(join({key, u"TypeLib"}), u"Version", kVersion);
    }

    // Only classes with a factory can be created by a host.
    for (const auto& c : comClasses()) {
        if (!c.create) continue;
        const std::u16string key = classKey(c);
        const std::u16string progId = progIdOf(c);
        store.setValue(key, u"", descriptionOf(c));
        store.setValue(join({key, u"InprocServer32"}), u"", libraryPath);
        store.setValue(join({key, u"InprocServer32"}), u"ThreadingModel", u"Apartment");
        store.setValue(join({key, u"ProgID"}), u"", progId);
        store.setValue(join({key, u"TypeLib"}), u"", guidText(LIBID_Mirvo32));
        store.setValue(join({key, u"Version"}), u"", kVersion);
        store.setValue(progId, u"", descriptionOf(c));
        store.setValue(join({progId, u"CLSID"}), u"", guidText(c.clsid));
    }
}

void removeRegistration(TRegistrationStore& store) {
    for (const auto& c : comClasses()) {
        store.removeTree(classKey(c));
        store.removeTree(progIdOf(c));
    }
    for (const auto& i : kInterfaces) store.removeTree(interfaceKey(i.iid));
    const std::u16string lib = typeLibKey();
    store.removeTree(join({lib, kVersion}));
    if (!store.hasSubkeys(lib)) store.removeTree(lib);
}

}  // namespace mirvo::com
