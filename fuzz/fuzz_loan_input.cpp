// Loan calculator through its exports: any input buffer, in either text
// width, followed by result requests, gives codes and never a fault or a
// write outside the caller's buffer.
#include <cstdint>
#include <string>
#include <vector>

#include "common/text/encoding.h"
#include "mirvo32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const char16_t* const kResultater[] = {u"EFFRNT", u"TERMBELOP", u"INFRDTO", u"LOPETID",
                                                  u"TSUMRNT", u"NBPLAN",    u"FORLOP",  u"OBS"};

    void* wide = MVinitialize();
    const std::u16string tekst = kavelin::text::fromUtf8(bytes);
    MVinput_w(wide, tekst.c_str());
    // A small buffer with a guard area behind it: nothing may land there.
    std::vector<char16_t> buf(3000 + 16, u'#');
    for (const char16_t* id : kResultater) {
        MVgetresult_w(wide, id, 99, buf.data(), 3000);
        MVgetfmtresult_w(wide, id, 2, buf.data(), 3000);
        for (size_t i = 3000; i < buf.size(); ++i)
            if (buf[i] != u'#') __builtin_trap();
    }
    MVgeterrorcode(wide);
    MVterminate(wide);

    void* narrow = MVinitialize();
    MVinput(narrow, bytes.c_str());
    char out[64];
    MVgetresult(narrow, "TERMBELOP", 0, out, sizeof out);
    MVterminate(narrow);
    return 0;
}
