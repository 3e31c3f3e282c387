// Settings-file reader: any bytes give sections and values without a fault,
// and the text the file writes reads back to the same text.
#include "app/ui/ini/ini_file.h"
#include "app/ui/ini/ini_values.h"
#include "common/utils/file_utils.h"

#include <cstdint>
#include <cstdlib>

using namespace kavelin::ini;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text = kavelin::utils::decodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
    TIniFile file("fuzz.ini", TIniOpenMode::imOpen);
    file.parse(text);
    for (const std::u16string& line : file.unnamed().lines()) {
        size_t eq = line.find(u'=');
        std::u16string_view value = eq == std::u16string::npos ? std::u16string_view() : std::u16string_view(line).substr(eq + 1);
        (void)parseIniInt(value);
        (void)parseIniFloat(value);
        (void)parseIniBool(value);
        (void)decodeIniString(value);
        (void)formatIniFloat(parseIniFloat(value));
    }
    std::u16string written = file.text();
    TIniFile again("fuzz.ini", TIniOpenMode::imOpen);
    again.parse(written);
    if (again.text() != written) std::abort();
    return 0;
}
