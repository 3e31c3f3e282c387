// XML scanner and parser: any bytes either parse or raise an error; what the
// writer makes of a parsed document parses again.
#include "app/ui/xml/xml_doc.h"
#include "app/ui/xml/xml_text.h"

#include <cstdint>
#include <cstdlib>
#include <exception>

using namespace kavelin::xml;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text = decodeXmlFile(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        TXMLScanner scanner(text);
        while (scanner.next()) {
        }
    } catch (const std::exception&) {
    }
    TXMLDoc doc;
    try {
        doc.setText(text);
    } catch (const std::exception&) {
        return 0;
    }
    if (!doc.root()) return 0;
    std::u16string written = doc.Text();
    TXMLDoc again;
    try {
        again.setText(written);
    } catch (const std::exception&) {
        std::abort();  // the writer produced text its own reader refuses
    }
    return 0;
}
