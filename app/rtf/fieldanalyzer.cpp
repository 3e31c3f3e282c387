#include "app/rtf/fieldanalyzer.h"

#include "app/rtf/fieldformat.h"
#include "app/rtf/rtfparser.h"
#include "app/rtf/rtftokenizer.h"

namespace kavelin::rtf {

namespace {

bool isQuote(unsigned char c) { return c == 34 || c == 147 || c == 148 || c == 171 || c == 187; }

std::string upper(std::string s) {
    for (char& c : s) c = fieldfmt::upperByte(c);
    return s;
}

// Reads the "ffname" of a "formfield" group.
class TFormFieldReader : public TRtfGroupParser {
public:
    std::string ffname;

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool) override {
        if (!t.token("ffname")) return false;
        TRtfString s;
        s.ReadRTF(t);
        ffname = s.s;
        return true;
    }
};

}  // namespace

TFieldAnalyzer::TFieldAnalyzer(std::string_view instruction,
                               const std::function<std::string(const std::string&)>& mergeValue) {
    read(instruction);
    if (mergeValue)
        for (size_t i = 1; i < fqstrings.size(); ++i)
            if (!isSwitch[i] && fqstrings[i].size() > 1 && fqstrings[i][0] == '@')
                fqstrings[i] = mergeValue(fqstrings[i].substr(1));
    // Switch tokens take the following plain token as their value.
    for (size_t i = 0; i < fqstrings.size();) {
        if (!isSwitch[i] || fqstrings[i].size() < 2) {
            ++i;
            continue;
        }
        TSwitch sw{fqstrings[i][1], {}};
        auto erase = [&](size_t at) {
            fqstrings.erase(fqstrings.begin() + static_cast<long>(at));
            fmtdstrings.erase(fmtdstrings.begin() + static_cast<long>(at));
            isSwitch.erase(isSwitch.begin() + static_cast<long>(at));
        };
        erase(i);
        if (i < fqstrings.size() && !isSwitch[i]) {
            sw.value = unquoted(static_cast<int>(i));
            erase(i);
        }
        switches.push_back(std::move(sw));
    }
}

void TFieldAnalyzer::beginToken(bool sw) {
    if (fqstrings.empty()) leadingfmt = fmt;
    fqstrings.emplace_back();
    fmtdstrings.push_back(fmt);
    isSwitch.push_back(sw);
}

void TFieldAnalyzer::addChar(char c, std::string_view raw) {
    fqstrings.back().push_back(c);
    fmtdstrings.back().append(raw);
}

void TFieldAnalyzer::read(std::string_view instruction) {
    TRtfTokenizer t(instruction);
    try {
        for (;;) {
            TSymType s = t.Read();
            if (s == TSymType::cLeftBrace || s == TSymType::cRightBrace || s == TSymType::ckwAsterisk) {
                fmt.append(t.raw());
                continue;
            }
            if (s == TSymType::cKeyWord && t.word == "formfield") {
                TFormFieldReader r;
                r.ReadRTF(t);
                ffname = r.ffname;
                continue;
            }
            int special = s == TSymType::cKeyWord ? specialSymbol(t) : -1;
            if (s != TSymType::cTekst && special < 0) {
                // A control word: formatting; inside quotes it belongs to the token too.
                if (t.word == "par") teksta += "\r\n";
                fmt.append(t.raw());
                if (tilst == inquotedstr) fmtdstrings.back().append(t.raw());
                continue;
            }
            auto c = static_cast<unsigned char>(s == TSymType::cTekst ? t.text : special);
            teksta.push_back(static_cast<char>(c));
            std::string_view raw = t.raw();
            if (literalprefix) {
                literalprefix = false;
                if (tilst == inimellom) {
                    beginToken(true);
                    fqstrings.back() = std::string("\\") + static_cast<char>(c);
                    continue;
                }
                if (tilst == inquotedstr && isQuote(c)) c = '"';
                addChar(static_cast<char>(c), raw);
                continue;
            }
            if (c == '\\') {
                literalprefix = true;
                continue;
            }
            if (c == ' ') {
                if (tilst == inquotedstr) addChar(' ', raw);
                else tilst = inimellom;
                continue;
            }
            if (isQuote(c)) {
                if (tilst == inquotedstr) {
                    fqstrings.back().push_back('"');
                    tilst = inimellom;
                } else {
                    beginToken(false);
                    fqstrings.back().push_back('"');
                    tilst = inquotedstr;
                }
                continue;
            }
            if (tilst == inimellom) {
                beginToken(false);
                tilst = insimplestr;
            }
            addChar(static_cast<char>(c), raw);
        }
    } catch (const ERtfSourceEnded&) {
    }
}

std::string TFieldAnalyzer::unquoted(int i) const {
    if (i < 0 || i >= count()) return {};
    const std::string& s = fqstrings[static_cast<size_t>(i)];
    if (s.empty() || s[0] != '"') return s;
    std::string inner = s.substr(1, s.size() >= 2 && s.back() == '"' ? s.size() - 2 : s.size() - 1);
    std::string out;
    for (size_t k = 0; k < inner.size(); ++k) {
        out.push_back(inner[k]);
        if (inner[k] == '"' && k + 1 < inner.size() && inner[k + 1] == '"') ++k;
    }
    return out;
}

std::string TFieldAnalyzer::getswitch(char k, const std::string& def) const {
    for (const auto& s : switches)
        if (fieldfmt::upperByte(s.key) == fieldfmt::upperByte(k)) return s.value.empty() ? def : s.value;
    return def;
}

bool TFieldAnalyzer::HasSwitch(char k) const {
    for (const auto& s : switches)
        if (fieldfmt::upperByte(s.key) == fieldfmt::upperByte(k)) return true;
    return false;
}

bool TFieldAnalyzer::HasSwitchValue(char k, std::string_view v) const {
    for (const auto& s : switches)
        if (fieldfmt::upperByte(s.key) == fieldfmt::upperByte(k) && upper(s.value) == v) return true;
    return false;
}

std::string TFieldAnalyzer::GetQuote(int from, bool asRTF) const {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (int i = std::max(from, 0); i < count(); ++i) {
        std::string u = unquoted(i);
        const std::string& raw = fqstrings[static_cast<size_t>(i)];
        bool integer = !raw.empty() && raw[0] >= '0' && raw[0] <= '9' && u.size() <= 3;
        for (char c : u) integer = integer && c >= '0' && c <= '9';
        int code = integer ? std::stoi(u) : -1;
        if (code < 0 || code > 255) {
            out += u;
        } else if (asRTF && code < 32) {
            out += "\\'";
            out.push_back(hex[code / 16]);
            out.push_back(hex[code % 16]);
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
    return out;
}

}  // namespace kavelin::rtf
