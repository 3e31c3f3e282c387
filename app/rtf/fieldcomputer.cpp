#include "app/rtf/fieldcomputer.h"

#include <cmath>
#include <ctime>
#include <fstream>
#include <sstream>

#include "app/rtf/fieldanalyzer.h"
#include "app/rtf/fieldexpr.h"
#include "app/rtf/fieldformat.h"
#include "app/rtf/rtfinclude.h"
#include "app/rtf/rtfmerge.h"
#include "common/text/casing.h"
#include "common/text/encoding.h"
#include "common/text/numtext.h"
#include "common/utils/atomic_file.h"

namespace kavelin::rtf {

using namespace fieldfmt;

std::string TKVFieldComputer::DefaultNumberFormat;
std::string TKVFieldComputer::DefaultDateFormat;

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = upperByte(c);
    return s;
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string ansi(const std::u16string& s) { return kavelin::text::toCp1252(s); }

double localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    // Days from 1899-12-30 to 1970-01-01 is 25569.
    double offset = static_cast<double>(tm.tm_gmtoff);
    return 25569.0 + (static_cast<double>(t) + offset) / 86400.0;
}

// Typographic quotes in patterns become apostrophes.
std::string patternOf(std::string p) {
    for (char& c : p) {
        auto b = static_cast<unsigned char>(c);
        if (b == 145 || b == 146 || b == 147 || b == 148 || b == 171 || b == 187) c = '\'';
    }
    return p;
}

// Puts "{" in front for every brace closed too many and "}" after for every group left open.
std::string balanceBraces(std::string s) {
    int depth = 0, lowest = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;  // an escaped brace or backslash is no group
            continue;
        }
        if (s[i] == '{') ++depth;
        else if (s[i] == '}') lowest = std::min(lowest, --depth);
    }
    std::string out(static_cast<size_t>(-lowest), '{');
    out += s;
    out.append(static_cast<size_t>(depth - lowest), '}');
    return out;
}

// The comparison key of an IF or COMPARE operand; keys compare as bytes.
std::string operandKey(const std::string& operand) {
    if (operand.empty()) return "c ";
    std::optional<double> v = evaluateFieldExpression(operand);
    if (!v) return "c" + operand;  // texts after all numbers
    double x = *v;
    std::string digits = kavelin::text::toUtf8(kavelin::text::fixedText(std::fabs(x), 15, u'.'));
    if (digits.size() > 39) digits = std::string(39, '9');
    bool negative = x < 0 && digits.find_first_of("123456789") != std::string::npos;
    if (!negative) return "b" + std::string(39 - digits.size(), ' ') + digits;
    // Negatives: nines' complement of the zero-padded magnitude, so that they order by value.
    std::string padded = std::string(39 - digits.size(), '0') + digits;
    for (char& c : padded)
        if (c >= '0' && c <= '9') c = static_cast<char>('9' - (c - '0'));
    return "a" + padded;
}

bool compareKeys(const std::string& a, const std::string& op, const std::string& b) {
    if (op == "=") return a == b;
    if (op == "<") return a < b;
    if (op == ">") return a > b;
    if (op == "<=") return a <= b;
    if (op == ">=") return a >= b;
    if (op == "<>") return a != b;
    return false;
}

}  // namespace

// ---- merge data ------------------------------------------------------------

std::optional<std::u16string> TMergeValueMap::GetValue(std::u16string_view name) {
    auto it = values.find(kavelin::text::upperCase(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void TMergeValueMap::SetValue(std::u16string_view name, std::u16string_view value) {
    values[kavelin::text::upperCase(name)] = std::u16string(value);
}

// ---- helpers ---------------------------------------------------------------

std::string plainToRtf(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') out += "\\\\";
        else if (c == '\r' || (c == '\n' && (i == 0 || text[i - 1] != '\r'))) out += '\\', out += c;
        else out += c;
    }
    return out;
}

std::string readWholeFile(const std::filesystem::path& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw std::runtime_error("Kan ikke lese filen " + fileName.string());
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) throw std::runtime_error("Kan ikke lese filen " + fileName.string());
    return s.str();
}

std::filesystem::path fieldPath(const std::string& name) {
    std::string utf8 = kavelin::text::toUtf8(kavelin::text::fromCp1252(name));
    for (char& c : utf8)
        if (c == '\\') c = '/';
    return std::filesystem::path(utf8);
}

// ---- the evaluator ---------------------------------------------------------

TKVFieldComputer::TKVFieldComputer() : Now(localNow) {}
TKVFieldComputer::~TKVFieldComputer() = default;

void TKVFieldComputer::log(std::string_view line) const {
    if (OnLog) OnLog(line);
}

std::string TKVFieldComputer::GetMergeValue(const std::string& name) {
    if (!FData) return {};
    auto v = FData->GetValue(kavelin::text::fromCp1252(name));
    return v ? ansi(*v) : std::string();
}

void TKVFieldComputer::SetMergeValue(const std::string& name, const std::string& value) {
    if (!FData) throw std::runtime_error("SetFData Error! IAPPInfo not assigned!");
    FData->SetValue(kavelin::text::fromCp1252(name), kavelin::text::fromCp1252(value));
}

std::filesystem::path TKVFieldComputer::FindIncludeFile(const std::filesystem::path& name) const {
    auto find = [&](const std::filesystem::path& n) -> std::optional<std::filesystem::path> {
        std::error_code ec;
        if (std::filesystem::is_regular_file(n, ec)) return n;
        if (OnFileSearch) {
            std::filesystem::path found = OnFileSearch(n);
            if (!found.empty() && std::filesystem::is_regular_file(found, ec)) return found;
        }
        if (!filepath.empty()) {
            std::filesystem::path inFolder = filepath.parent_path() / n.filename();
            if (std::filesystem::is_regular_file(inFolder, ec)) return inFolder;
        }
        return std::nullopt;
    };
    // File names are case-sensitive here: an extension is also tried in lower case.
    auto findAnyCase = [&](const std::filesystem::path& n) -> std::optional<std::filesystem::path> {
        if (auto f = find(n)) return f;
        std::string ext = n.extension().string();
        for (char& ch : ext) ch = lowerByte(ch);
        if (ext == n.extension().string()) return std::nullopt;
        std::filesystem::path lower = n;
        lower.replace_extension(ext);
        return find(lower);
    };
    if (name.has_extension()) return findAnyCase(name).value_or(name);
    for (const char* ext : {".SP2", ".RTF"}) {
        std::filesystem::path withExt = name;
        withExt += ext;
        if (auto f = findAnyCase(withExt)) return *f;
    }
    return name;
}

std::string TKVFieldComputer::resolveInstruction(TRtfFileParser& reader, std::string_view instruction) {
    TRtfTokenizer t(instruction);
    std::string out;
    try {
        for (;;) {
            TSymType s = t.Read();
            if (s != TSymType::cLeftBrace) {
                out.append(t.raw());
                continue;
            }
            std::string opening(t.raw());
            s = t.Read();
            if (s == TSymType::ckwAsterisk) {
                opening.append(t.raw());
                s = t.Read();
            }
            if (s == TSymType::cKeyWord && t.word == "field") {
                TRtfFieldParser nested;
                nested.ReadRTF(t);
                try {
                    t.Read();  // its closing brace
                } catch (const ERtfSourceEnded&) {
                }
                if (FNesting < MaxFieldDepth) ComputeFieldLL(reader, nested, 0);
                if (!nested.fldrslt.empty()) out += groupContent(nested.fldrslt);
                continue;
            }
            out += opening;
            t.PushBack();
        }
    } catch (const ERtfSourceEnded&) {
    }
    return out;
}

std::string TKVFieldComputer::includeText(TRtfFileParser& reader, const std::string& name) {
    try {
        std::filesystem::path p = fieldPath(name);
        std::string ext = upper(p.extension().string());
        if (ext.empty()) {
            p += ".RTF";
            ext = ".RTF";
        }
        std::filesystem::path file = FindIncludeFile(p);
        if (ext == ".RTF" || ext == ".KVNK") {
            std::string bytes = readWholeFile(file);
            return "{" + convertIncludedRtf(bytes, reader.F, IncludeHeader) + "}";
        }
        if (ext == ".TXT") {
            std::string bytes = readWholeFile(file);
            std::string out;
            for (size_t i = 0; i < bytes.size(); ++i) {
                char c = bytes[i];
                if (c == '\t') out += "\\tab ";
                else if (c == '\n') out += "\\line ";
                else if (c == '\r') {
                    out += "\\line ";
                    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                } else out += c;
            }
            return out;
        }
        if (ext == ".JS") throw EFieldNotSupported("includeText javascript .JS");
        throw std::runtime_error("Ukjent filtype");
    } catch (const std::exception& e) {
        log(std::string("RTF INCLUDETEXT ERR ") + e.what());
        return std::string("ERROR!!! ") + e.what();
    }
}

std::string TKVFieldComputer::includePicture(const std::string& name) {
    if (!DoIncludePictures)
        return "{\\literal\\field{\\*\\fldinst INCLUDEPICTURE " + plainToRtf(name) + " \\\\d }{\\fldrslt }}";
    std::filesystem::path file = FindIncludeFile(fieldPath(name));
    std::string bytes = readWholeFile(file);
    std::string ext = upper(file.extension().string());
    std::string out = "{\\pict";
    if (ext == ".DIB") out += "\\dibitmap0";
    else if (ext == ".BMP") out += "\\wbitmap0";
    else if (ext == ".WMF") out += "\\wmetafileext";
    else if (ext == ".EMF") out += "\\emfblip";
    else if (ext == ".PNG") out += "\\pngblip";  // pictures the surface can draw
    else if (ext == ".JPG" || ext == ".JPEG") out += "\\jpegblip";
    out += ' ';
    static const char hex[] = "0123456789ABCDEF";
    out.reserve(out.size() + bytes.size() * 2 + 1);
    for (unsigned char b : bytes) out += hex[b >> 4], out += hex[b & 15];
    return out + "}";
}

// One evaluation: the analysed instruction and the command's raw result.
class TKVFieldComputer::Evaluation {
public:
    Evaluation(TKVFieldComputer& c, TRtfFileParser& reader, const TFieldAnalyzer& fa, int fmtnum, std::string resolved)
        : c(c), reader(reader), fa(fa), fmtnum(fmtnum), resolved(std::move(resolved)) {}

    bool dateCommand = false;
    bool charformat = false;

    std::string run() {
        std::string cmd = fa.command();
        const TDocInfoRec& info = reader.F.info;
        auto infoText = [&](const std::u16string TDocInfoRec::*field) {
            if (!info.present) throw std::runtime_error("Ingen info-gruppe");
            return plainToRtf(ansi(info.*field));
        };
        auto infoTime = [&](double TDocInfoRec::*field) {
            if (!info.present || info.*field < 0) throw std::runtime_error("Ingen info-gruppe");
            return dateFormat(info.*field);
        };
        if (cmd == "TIME") {
            dateCommand = true;
            return fa.HasSwitch('@') ? dateFormat(c.Now()) : formatDateTime(c.Now(), "hh:nn");
        }
        if (cmd == "DATE") return dateCommand = true, dateFormat(c.Now());
        if (cmd == "CREATEDATE") return dateCommand = true, infoTime(&TDocInfoRec::creatim);
        if (cmd == "SAVEDATE") return dateCommand = true, infoTime(&TDocInfoRec::revtim);
        if (cmd == "PRINTDATE") return dateCommand = true, infoTime(&TDocInfoRec::printim);
        if (cmd == "IF" || cmd == "COMPARE") return condition(cmd == "IF");
        if (cmd == "QUOTE") {
            std::string q = fa.GetQuote(1, true);
            if (fmtnum != 0) return q;
            std::string out = "\"";
            for (char ch : q) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            return out + "\"";
        }
        if (cmd == "INCLUDETEXT") return c.includeText(reader, fa.unquoted(1));
        if (cmd == "INCLUDEPICTURE") return c.includePicture(fa.unquoted(1));
        if (cmd == "PRIVATE") return privateCommand();
        if (cmd == "PAGE") return charformat = true, "\\chpgn ";
        if (cmd == "SECTION") return charformat = true, "\\sectnum ";
        if (cmd == "NUMPAGES") return charformat = true, "\\numpages ";
        if (cmd == "AUTHOR") return infoText(&TDocInfoRec::author);
        if (cmd == "COMMENTS") return infoText(&TDocInfoRec::comment);
        if (cmd == "KEYWORDS") return infoText(&TDocInfoRec::keywords);
        if (cmd == "SUBJECT") return infoText(&TDocInfoRec::subject);
        if (cmd == "TITLE") return infoText(&TDocInfoRec::title);
        if (cmd == "DOCPROPERTY") return infoText(&TDocInfoRec::doccomm);
        if (cmd == "FILLIN") throw EFieldNotSupported("Rtf field: FILLIN");
        if (cmd == "FORMTEXT" || cmd == "FORMCHECKBOX") {
            if (fa.ffname.empty()) return {};
            return c.VisFeltNamn ? plainToRtf(fa.ffname) : plainToRtf(c.GetMergeValue(fa.ffname));
        }
        if (cmd == "MERGEFIELD") {
            std::string name = fa.unquoted(1);
            if (c.VisFeltNamn) return plainToRtf(name);
            return mergeValueAsRtf(c.GetMergeValue(name));
        }
        if (cmd == "=") throw EFieldNotSupported("Rtf beregne uttrykk vha scriptbehandling!");
        throw std::runtime_error("");
    }

    std::string dateFormat(double t) const {
        std::string p = fa.getswitch('@');
        if (p.empty()) p = DefaultDateFormat;
        if (p.empty()) p = "dd.mm.yyyy";
        return plainToRtf(formatDateTime(t, patternOf(p)));
    }

private:
    std::string mergeValueAsRtf(std::string v) {
        if (v.empty()) return {};
        if (v[0] == '@') v = c.GetMergeValue(v.substr(1));
        if (v.rfind("\\rtf", 0) == 0) {
            size_t at = 4;
            if (at < v.size() && v[at] >= '0' && v[at] <= '3') ++at;
            if (at < v.size() && v[at] == ' ') ++at;
            return v.substr(at);
        }
        return plainToRtf(v);
    }

    std::string condition(bool isIf) {
        std::string op = fa.unquoted(2);
        std::string k1 = operandKey(fa.unquoted(1)), k3 = operandKey(fa.unquoted(3));
        bool holds = compareKeys(k1, op, k3);
        c.log(k1 + " " + op + " " + k3 + (holds ? " ja" : " nei"));
        if (!isIf) return holds ? "1" : "0";
        int index = holds ? 4 : 5;
        bool plain = fa.HasSwitchValue('*', "CHARFORMAT") || fa.HasSwitchValue('*', "MERGEFORMAT") ||
                     fa.HasSwitch('#') || fa.HasSwitch('@');
        std::string r;
        if (plain) r = fa.unquoted(index);
        else if (index < fa.count()) r = fa.fmtdstrings[static_cast<size_t>(index)];
        c.log("IF-result: " + r);
        return r;
    }

    std::string privateCommand() {
        if (fa.count() < 3 || upper(fa.unquoted(1)) != "$$SC") return {};
        std::string sub = upper(fa.unquoted(2));
        if (sub == "FMTS") {
            DefaultNumberFormat = fa.getswitch('#');
            DefaultDateFormat = fa.getswitch('@');
            return {};
        }
        if (sub == "DATA" || sub == "SQL") throw EFieldNotSupported("rtf field: DATA / SQL");
        if (sub == "VARTEXT") return varText(), std::string();
        if (sub == "INCLUDETEXT") {
            std::string out;
            for (int i = 3; i < fa.count(); ++i) out += c.includeText(reader, fa.unquoted(i));
            return out;
        }
        if (sub == "INCLUDEPICTURE") return c.includePicture(fa.unquoted(3));
        if (sub == "SET") {
            c.SetMergeValue(fa.unquoted(3), fa.GetQuote(4, false));
            return {};
        }
        if (sub == "IFBLANK") {
            if (trim(c.GetMergeValue(fa.unquoted(3))).empty()) c.SetMergeValue(fa.unquoted(3), fa.GetQuote(4, false));
            return {};
        }
        if (sub == "SCRIPT") throw EFieldNotSupported("Privatefield SCRIPT");
        if (sub == "JSCRIPT" || sub == "VBSCRIPT") throw EFieldNotSupported("Privatefield JSCRIPT / VBSCRIPT");
        if (sub == "USEPAGESIZE") return "\\uselogicalpagesize1 ";
        return {};
    }

    // PRIVATE $$SC VARTEXT name rich text: stores the rich text under the name.
    void varText() {
        TRtfTokenizer t(resolved);
        int words = 0;
        bool inWord = false, after = false;
        std::string name, collected;
        try {
            for (;;) {
                TSymType s = t.Read();
                if (after) {
                    collected.append(t.raw());
                    continue;
                }
                int ch = s == TSymType::cTekst ? t.text : s == TSymType::cKeyWord ? specialSymbol(t) : -1;
                bool blank = ch == ' ' || t.token("par") || t.token("line");
                if (blank) {
                    if (inWord && words == 4) after = true;
                    inWord = false;
                    continue;
                }
                if (ch >= 145 && ch <= 148 && s == TSymType::cKeyWord) continue;  // quotes are passed over
                if (ch >= 0) {
                    if (!inWord) inWord = true, ++words;
                    if (words == 4) name.push_back(static_cast<char>(ch));
                    continue;
                }
                collected.append(t.raw());
            }
        } catch (const ERtfSourceEnded&) {
        }
        if (name.empty()) return;
        c.SetMergeValue(name, "\\rtf1 " + collected);
    }

    TKVFieldComputer& c;
    TRtfFileParser& reader;
    const TFieldAnalyzer& fa;
    int fmtnum;
    std::string resolved;
};

bool TKVFieldComputer::ComputeField(TRtfFileParser& reader, TRtfFieldParser& field) {
    return ComputeFieldLL(reader, field, 1);
}

bool TKVFieldComputer::ComputeFieldLL(TRtfFileParser& reader, TRtfFieldParser& field, int fmtnum) {
    ++FNesting;
    struct Leave {
        int& n;
        ~Leave() { --n; }
    } leave{FNesting};
    try {
        std::string oldResult = field.fldrslt;
        std::string resolved = resolveInstruction(reader, groupContent(field.fldinst));
        std::function<std::string(const std::string&)> merge;
        if (FData) merge = [this](const std::string& n) { return GetMergeValue(n); };
        TFieldAnalyzer fa(resolved, merge);

        enum { none, charformat, mergeformat } carry = none;
        if (fa.HasSwitchValue('*', "CHARFORMAT")) carry = charformat;
        else if (fa.HasSwitchValue('*', "MERGEFORMAT")) carry = mergeformat;

        Evaluation ev(*this, reader, fa, fmtnum, resolved);
        std::string result = ev.run();
        if (ev.charformat) carry = charformat;

        if (!ev.dateCommand && fa.HasSwitch('@') && !trim(result).empty()) {
            std::optional<double> when = readDateTime(result);
            result = when ? ev.dateFormat(*when) : std::string();
        }
        std::string numberPattern = fa.getswitch('#');
        if (fa.HasSwitch('#') && trim(result).empty()) result = "0";
        if (numberPattern.empty()) numberPattern = DefaultNumberFormat;
        if (!numberPattern.empty()) {
            if (std::optional<double> v = readNumber(result)) {
                std::string d = fa.getswitch('d');
                char sep = d.empty() ? DecimalSeparator : d[0];
                if (auto formatted = formatNumber(*v, patternOf(numberPattern), sep)) result = *formatted;
            }
        }
        TCaseMode mode = fa.HasSwitchValue('*', "CAPS")      ? TCaseMode::caps
                         : fa.HasSwitchValue('*', "UPPER")   ? TCaseMode::upper
                         : fa.HasSwitchValue('*', "LOWER")   ? TCaseMode::lower
                         : fa.HasSwitchValue('*', "FIRSTCAP") ? TCaseMode::firstcap
                                                              : TCaseMode::none;
        result = convertCase(result, mode);

        if (carry == charformat) result = fa.leadingfmt + result;
        else if (carry == mergeformat && !oldResult.empty()) result = TFieldAnalyzer(groupContent(oldResult)).leadingfmt + result;

        field.fldrslt = "{\\fldrslt " + balanceBraces(result) + "}";
        return true;
    } catch (const ERTFBreak&) {
        throw;
    } catch (const std::exception&) {
        return false;
    }
}

// ---- reading documents -----------------------------------------------------

std::unique_ptr<TDocument> TKVFieldComputer::ReadRTFFile(const std::filesystem::path& fileName, bool metaOnly) {
    filepath = fileName;
    std::string bytes = readWholeFile(fileName);
    return TRtfDocumentParser::LoadRTFDocument(bytes, metaOnly, this);
}

std::unique_ptr<TDocument> TKVFieldComputer::ReadRTFFile(const std::filesystem::path& fileName,
                                                         TMergeValueSource& data, bool metaOnly) {
    FData = &data;
    struct Clear {
        TMergeValueSource*& d;
        ~Clear() { d = nullptr; }
    } clear{FData};
    return ReadRTFFile(fileName, metaOnly);
}

std::unique_ptr<TDocument> TKVFieldComputer::ReadRTFStream(std::string_view rtf) {
    FData = nullptr;
    return TRtfDocumentParser::LoadRTFDocument(rtf, false, this);
}

std::unique_ptr<TDocument> TKVFieldComputer::ReadRTFStream(std::string_view rtf, TMergeValueSource& data) {
    FData = &data;
    struct Clear {
        TMergeValueSource*& d;
        ~Clear() { d = nullptr; }
    } clear{FData};
    return TRtfDocumentParser::LoadRTFDocument(rtf, false, this);
}

std::u16string TKVFieldComputer::FlettRTFFelt(const std::filesystem::path& source, const std::filesystem::path& dest,
                                              TMergeValueSource* data) {
    log("RTF FlettRTFFelt 0");
    struct Finally {
        TKVFieldComputer& c;
        bool pictures;
        ~Finally() {
            c.FData = nullptr;
            c.DoIncludePictures = pictures;
            c.log("RTF FlettRTFFelt 4");
        }
    } fin{*this, DoIncludePictures};
    TRtfFileSettings settings;
    std::string body;
    TRTFFletteReader reader(settings, *this, body);
    DoIncludePictures = false;
    log("RTF FlettRTFFelt 1");
    std::filesystem::path file = FindIncludeFile(source);
    filepath = file;
    FData = data;
    std::string bytes = readWholeFile(file);
    TRtfTokenizer t(bytes);
    reader.LoadRTFDocument(t);
    log("RTF FlettRTFFelt 2");
    kavelin::utils::writeFileAtomic(dest, reader.WriteToStream(body));
    log("RTF FlettRTFFelt 3");
    return settings.info.present ? settings.info.title : std::u16string();
}

}  // namespace kavelin::rtf
