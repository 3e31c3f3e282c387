// RTF reader and page layout: any byte stream is read and laid out without
// a fault or a hang.
#include <cstdint>
#include <string_view>

#include "app/rtf/rtfdocparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    try {
        auto doc = kavelin::rtf::TRtfDocumentParser::LoadRTFDocument(rtf);
        (void)doc;
    } catch (const std::exception&) {
        // A refused document is a clean answer.
    }
    return 0;
}
