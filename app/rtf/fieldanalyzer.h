// The reading of one field instruction: the command word, its arguments and
// its switches, each token both as plain text and with the RTF formatting
// that stands before (and, for a quoted token, inside) it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::rtf {

class TFieldAnalyzer {
public:
    // Reads the contents of an instruction group (without its own braces and
    // destination word). With mergeValue, argument tokens written "@name"
    // are replaced by the merge value of that name.
    explicit TFieldAnalyzer(std::string_view instruction,
                            const std::function<std::string(const std::string&)>& mergeValue = {});

    std::string teksta;      // the plain text ("par" gives CR LF)
    std::string leadingfmt;  // formatting before the first token
    std::vector<std::string> fqstrings;   // tokens; quoted ones keep their quotes
    std::vector<std::string> fmtdstrings; // tokens with formatting
    struct TSwitch {
        char key;
        std::string value;
    };
    std::vector<TSwitch> switches;
    std::string ffname;  // name from the last "formfield" group

    int count() const { return static_cast<int>(fqstrings.size()); }
    // Token i without enclosing quotes, doubled quotes made single; "" outside the list.
    std::string unquoted(int i) const;
    std::string command() const { return unquoted(0); }
    std::string getswitch(char k, const std::string& def = {}) const;
    bool HasSwitch(char k) const;
    bool HasSwitchValue(char k, std::string_view upperValue) const;
    // Tokens from index from, joined: an integer token gives the character of
    // that code (asRTF: a code below 32 as "\'hh"), any other its text.
    std::string GetQuote(int from, bool asRTF) const;

private:
    enum TFAtilst { inimellom, inswitchkey, insimplestr, inquotedstr };
    void read(std::string_view instruction);
    void beginToken(bool isSwitch);
    void addChar(char c, std::string_view raw);

    TFAtilst tilst = inimellom;
    bool literalprefix = false;
    std::string fmt;             // all formatting so far
    std::vector<bool> isSwitch;  // per token
};

}  // namespace kavelin::rtf
