// Product configuration reader: any document either loads or raises an
// error, and a loaded product written and read again is stable.
#include "app/ui/config/produkt_oppsett.h"

#include <cstdint>
#include <cstdlib>
#include <exception>

using namespace mirvo::oppsett;
namespace xml = kavelin::xml;

namespace {

std::u16string written(const TProduktOppsett& p) {
    xml::TXMLDoc doc;
    p.save(doc.getElement(u"Produkt"));
    return doc.Text();
}

std::u16string reread(const std::u16string& text) {
    xml::TXMLDoc doc;
    doc.setText(text);
    TProduktOppsett p(1);
    p.load(*doc.root());
    return written(p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    xml::TXMLDoc doc;
    TProduktOppsett p(1);
    try {
        doc.setText(xml::decodeXmlFile(std::string_view(reinterpret_cast<const char*>(data), size)));
        if (!doc.root()) return 0;
        const xml::TXMLElement* produkt = doc.root()->findChild(u"Produkt");
        p.load(produkt ? *produkt : *doc.root());
        p.validate();
    } catch (const std::exception&) {
        return 0;
    }
    // The first write normalises what the reader drops; from then on the
    // text stays the same.
    std::u16string once = reread(written(p));
    if (reread(once) != once) std::abort();
    return 0;
}
