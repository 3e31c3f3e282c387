#include "app/rtf/rtfparser.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "common/text/encoding.h"

namespace kavelin::rtf {

namespace {

// Sub-parsers nest on the call stack; deeper groups are skipped unread.
constexpr int MaxNesting = 200;
thread_local int nesting = 0;

struct NestGuard {
    NestGuard() { ++nesting; }
    ~NestGuard() { --nesting; }
    bool tooDeep() const { return nesting > MaxNesting; }
};

std::u16string fromAnsi(const std::string& s) { return kavelin::text::fromCp1252(s); }

}  // namespace

int specialSymbol(const TRtfTokenizer& t) {
    if (t.symboltype != TSymType::cKeyWord) return -1;
    const std::string& w = t.word;
    if (w == "'") return t.harparameter ? t.parambuffer : -2;
    if (w == "{" || w == "}" || w == "\\") return static_cast<unsigned char>(w[0]);
    static const std::unordered_map<std::string_view, int> words = {
        {"bullet", 149}, {"endash", 150}, {"emdash", 151}, {"lquote", 145},
        {"rquote", 146}, {"ldblquote", 147}, {"rdblquote", 148}};
    auto it = words.find(w);
    return it == words.end() ? -1 : it->second;
}

void skipGroup(TRtfTokenizer& t) {
    // A plain brace count: no handlers, no recursion.
    int depth = 0;
    try {
        for (;;) {
            TSymType s = t.Read();
            if (s == TSymType::cLeftBrace) ++depth;
            if (s == TSymType::cRightBrace && --depth < 0) {
                t.PushBack();
                return;
            }
        }
    } catch (const ERtfSourceEnded&) {
    }
}

void TRtfParser::ReadRTF(TRtfTokenizer& t) {
    NestGuard guard;
    if (guard.tooDeep()) {
        skipGroup(t);
        return;
    }
    int depth = 0;
    try {
        for (;;) {
            switch (t.Read()) {
            case TSymType::cLeftBrace:
                OpenBrace(t);
                ++depth;
                break;
            case TSymType::cRightBrace:
                if (--depth < 0) {
                    OwnGroupEnd(t);
                    t.PushBack();
                    return;
                }
                CloseBrace(t);
                break;
            case TSymType::cTekst: TextHandler(t, t.text); break;
            case TSymType::cKeyWord: {
                int special = notrlat ? -1 : specialSymbol(t);
                if (special >= 0) TextHandler(t, static_cast<unsigned char>(special));
                else if (special == -1) CtrlWordHandler(t);
                break;
            }
            case TSymType::ckwBin: CtrlWordHandler(t); break;
            case TSymType::ckwAsterisk: DefaultToken(t); break;
            }
        }
    } catch (const ERtfSourceEnded&) {
        OwnGroupEnd(t);
    }
}

void TRtfGroupParser::OpenBrace(TRtfTokenizer& t) {
    TSymType s;
    try {
        s = t.Read();
    } catch (const ERtfSourceEnded&) {
        return;
    }
    if (s != TSymType::ckwAsterisk) {
        if (s == TSymType::cKeyWord && specialSymbol(t) == -1 && BeginGroupHandler(t, false)) return;
        t.PushBack();
        return;
    }
    try {
        s = t.Read();
    } catch (const ERtfSourceEnded&) {
        return;
    }
    if (s == TSymType::cRightBrace) {
        t.PushBack();
        return;
    }
    if (s == TSymType::cKeyWord && (BeginGroupHandler(t, true) || CtrlWordHandler(t))) return;
    if (!IncludeStarredGroups) skipGroup(t);
    else t.PushBack();
}

std::string copyGroup(TRtfTokenizer& t, std::string_view opening) {
    TRtfCopier c;
    c.outstrm = opening;
    c.ReadRTF(t);
    c.outstrm += "}";
    return c.outstrm;
}

bool readGroupStart(TRtfTokenizer& t, TSymType& s, bool& star) {
    star = false;
    try {
        s = t.Read();
        if (s == TSymType::ckwAsterisk) {
            star = true;
            s = t.Read();
        }
    } catch (const ERtfSourceEnded&) {
        return false;
    }
    return true;
}

std::string groupContent(std::string_view group) {
    TRtfTokenizer t(group);
    try {
        if (t.Read() != TSymType::cLeftBrace) return std::string(group);
        TSymType s = t.Read();
        if (s == TSymType::ckwAsterisk) s = t.Read();
        if (s != TSymType::cKeyWord) return {};
        size_t start = static_cast<size_t>(t.raw().data() + t.raw().size() - group.data());
        size_t end = group.size();
        if (end > start && group[end - 1] == '}') --end;
        return std::string(group.substr(start, end - start));
    } catch (const ERtfSourceEnded&) {
        return {};
    }
}

double TRtfTime::value() const {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return -1;
    static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > mdays[month - 1] + (month == 2 && leap ? 1 : 0)) return -1;
    // Days from civil date (proleptic Gregorian), counted from 1899-12-30.
    int y = month <= 2 ? year - 1 : year;
    int era = y / 400;
    int yoe = y - era * 400;
    int mp = (month + 9) % 12;
    int doy = (153 * mp + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long days = static_cast<long>(era) * 146097 + doe - 719468;  // days since 1970-01-01
    days += 25569;                                               // 1899-12-30 .. 1970-01-01
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

bool TRtfTime::CtrlWordHandler(TRtfTokenizer& t) {
    int v = t.getParam(0);
    if (t.token("yr")) year = v;
    else if (t.token("mo")) month = v;
    else if (t.token("dy")) day = v;
    else if (t.token("hr")) hour = v;
    else if (t.token("min")) minute = v;
    else if (t.token("sec")) second = v;
    else return false;
    return true;
}

TColor TColorTableParser::getColor(int index) const {
    if (index < 0 || index >= static_cast<int>(colors.size())) return clWhite;
    return colors[static_cast<size_t>(index)];
}

int TColorTableParser::Add(TColor c) {
    auto it = std::find(colors.begin(), colors.end(), c);
    if (it != colors.end()) return static_cast<int>(it - colors.begin());
    colors.push_back(c);
    return static_cast<int>(colors.size()) - 1;
}

bool TColorTableParser::CtrlWordHandler(TRtfTokenizer& t) {
    int v = std::clamp(t.getParam(0), 0, 255);
    if (t.token("red")) red = v;
    else if (t.token("green")) green = v;
    else if (t.token("blue")) blue = v;
    else return false;
    return true;
}

void TColorTableParser::TextHandler(TRtfTokenizer&, unsigned char b) {
    if (b != ';') return;
    colors.push_back(rgb(unsigned(red), unsigned(green), unsigned(blue)));
    red = green = blue = 0;
}

TRtfFontInfo& TFontList::getDef(int index) {
    for (auto& it : items)
        if (it.fontTableIndex == index) return it.fontInfo;
    items.push_back({TRtfFontInfo{}, index});
    return items.back().fontInfo;
}

const TRtfFontInfo* TFontList::find(int index) const {
    for (const auto& it : items)
        if (it.fontTableIndex == index) return &it.fontInfo;
    return nullptr;
}

std::vector<int> TFontList::fontTableIndexes() const {
    std::vector<int> out;
    for (const auto& it : items) out.push_back(it.fontTableIndex);
    return out;
}

bool TRtfFontTableReader::BeginGroupHandler(TRtfTokenizer& t, bool star) {
    if (t.token("panose") || t.token("falt")) {
        TRtfString s;
        s.ReadRTF(t);
        if (t.word == "panose") current.panose = s.s;
        else current.AltName = fromAnsi(s.s);
        return true;
    }
    return false;
}

bool TRtfFontTableReader::CtrlWordHandler(TRtfTokenizer& t) {
    static const char* families[] = {"fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor", "ftech", "fbidi"};
    if (t.token("f")) {
        number = t.getParam(0);
        return true;
    }
    for (const char* f : families)
        if (t.token(f)) {
            current.Family = f;
            return true;
        }
    if (t.token("fprq")) current.fprq = t.getParam(0);
    else if (t.token("fcharset")) current.FCharset = std::clamp(t.getParam(0), 0, 255);
    else return false;
    return true;
}

void TRtfFontTableReader::TextHandler(TRtfTokenizer&, unsigned char b) {
    if (b != ';') {
        if (name.size() < 256) name.push_back(static_cast<char>(b));
        return;
    }
    current.Name = fromAnsi(name);
    fonts.getDef(number) = current;
    current = {};
    name.clear();
}

bool TInfoGroupParser::BeginGroupHandler(TRtfTokenizer& t, bool) {
    static const std::pair<const char*, std::u16string TDocInfoRec::*> texts[] = {
        {"title", &TDocInfoRec::title},       {"subject", &TDocInfoRec::subject},
        {"author", &TDocInfoRec::author},     {"operator", &TDocInfoRec::operator_},
        {"keywords", &TDocInfoRec::keywords}, {"comment", &TDocInfoRec::comment},
        {"doccomm", &TDocInfoRec::doccomm}};
    static const std::pair<const char*, double TDocInfoRec::*> times[] = {{"creatim", &TDocInfoRec::creatim},
                                                                        {"revtim", &TDocInfoRec::revtim},
                                                                        {"printim", &TDocInfoRec::printim},
                                                                        {"buptim", &TDocInfoRec::buptim}};
    for (auto& [w, field] : texts)
        if (t.token(w)) {
            TRtfString s;
            s.ReadRTF(t);
            data.*field = fromAnsi(s.s);
            return true;
        }
    for (auto& [w, field] : times)
        if (t.token(w)) {
            TRtfTime s;
            s.ReadRTF(t);
            data.*field = s.value();
            return true;
        }
    return false;
}

bool TRtfPictReader::CtrlWordHandler(TRtfTokenizer& t) {
    int v = t.getParam(0);
    auto dim = [](int x) { return std::clamp(x, 0, 1 << 24); };
    if (t.symboltype == TSymType::ckwBin) data.assign(t.binbuffer.begin(), t.binbuffer.end());
    else if (t.token("emfblip")) source = "EMF";
    else if (t.token("pngblip")) source = "PNG";
    else if (t.token("jpegblip")) source = "JPG";
    else if (t.token("macpict")) source = "MAC";
    else if (t.token("pmmetafile")) source = "OMF", subtype = v;
    else if (t.token("wmetafile")) source = "WMF", subtype = v;
    else if (t.token("dibitmap")) source = "DIB", subtype = v;
    else if (t.token("wbitmap")) source = "BMP", subtype = v;
    else if (t.token("wbmbitsperpixel")) wbmbitsperpixel = v;
    else if (t.token("wbmplanes")) wbmplanes = v;
    else if (t.token("wbmwidthbytes")) wbmwidthbytes = v;
    else if (t.token("picw")) Size.cx = dim(v);
    else if (t.token("pich")) Size.cy = dim(v);
    else if (t.token("picwgoal")) Goal.cx = dim(v);
    else if (t.token("pichgoal")) Goal.cy = dim(v);
    else if (t.token("picscalex")) scaleX = std::clamp(v, 1, 10000);
    else if (t.token("picscaley")) scaleY = std::clamp(v, 1, 10000);
    else if (t.token("piccropl")) Crop.left = dim(v);
    else if (t.token("piccropt")) Crop.top = dim(v);
    else if (t.token("piccropr")) Crop.right = dim(v);
    else if (t.token("piccropb")) Crop.bottom = dim(v);
    else if (t.token("picbmp")) picbmp = true;
    else if (t.token("picbpp")) picbpp = v;
    else return false;
    return true;
}

void TRtfPictReader::TextHandler(TRtfTokenizer&, unsigned char b) {
    int h = (b >= '0' && b <= '9') ? b - '0' : (b >= 'a' && b <= 'f') ? b - 'a' + 10 : (b >= 'A' && b <= 'F') ? b - 'A' + 10 : -1;
    if (h < 0) return;
    if (nibble < 0) {
        nibble = h;
    } else {
        data.push_back(static_cast<unsigned char>(nibble * 16 + h));
        nibble = -1;
    }
}

std::unique_ptr<TPrintablePicture> TRtfPictReader::makePicture() const {
    // Pictures Qt can draw are kept; metafiles keep their place and size.
    static const std::pair<const char*, TPictureKind> kinds[] = {
        {"EMF", TPictureKind::EMF}, {"WMF", TPictureKind::WMF}, {"DIB", TPictureKind::DIB},
        {"BMP", TPictureKind::BMP}, {"PNG", TPictureKind::PNG}, {"JPG", TPictureKind::JPG}};
    auto p = std::make_unique<TPrintablePicture>();
    bool known = false;
    for (auto& [name, kind] : kinds)
        if (source == name) p->kind = kind, known = true;
    if (!known) return nullptr;
    p->fgraphic = data;
    if (p->kind == TPictureKind::WMF) p->natural = Size;
    else p->natural = {Size.cx * 15, Size.cy * 15};  // pixels at 96 dpi
    p->goal = Goal;
    p->scaleX = scaleX;
    p->scaleY = scaleY;
    p->Crop = Crop;
    return p;
}

void TRtfFileParser::LoadRTFDocument(TRtfTokenizer& t) {
    try {
        if (t.Read() != TSymType::cLeftBrace || t.Read() != TSymType::cKeyWord || t.word != "rtf")
            throw ERtfError("No RTF.");
    } catch (const ERtfSourceEnded&) {
        throw ERtfError("No RTF.");
    }
    try {
        ReadRTF(t);
    } catch (const ERTFBreak&) {
    }
}

bool TRtfFileParser::BeginGroupHandler(TRtfTokenizer& t, bool star) {
    if (t.token("colortbl")) {
        F.colorTable.colors.clear();
        F.colorTable.ReadRTF(t);
        return true;
    }
    if (t.token("fonttbl")) {
        TRtfFontTableReader r(F.fontList);
        r.ReadRTF(t);
        F.fonttbl_lest = true;
        return true;
    }
    if (t.token("info")) {
        TInfoGroupParser r;
        r.ReadRTF(t);
        F.info = r.data;
        F.info.present = true;
        return true;
    }
    if (star && t.token("userprops")) {
        DoOnUserProps(t);
        return true;
    }
    for (const char* w : {"stylesheet", "filetbl", "listtable", "listoverridetable", "revtbl"})
        if (t.token(w)) {
            skipGroup(t);
            return true;
        }
    return false;
}

bool TRtfFileParser::CtrlWordHandler(TRtfTokenizer& t) {
    if (t.token("rtf")) return true;
    for (const char* w : {"ansi", "mac", "pc", "pca"})
        if (t.token(w)) {
            F.CharSet = w;
            return true;
        }
    int v = t.getParam(0);
    if (t.token("ansicpg")) F.AnsiCpg = v;
    else if (t.token("deff")) F.defaultFontInx = v;
    else if (t.token("deflang")) F.deflang = v;
    else if (t.token("deflangfe")) F.deflangfe = v;
    else return false;
    return true;
}

std::string TRtfFileParser::WriteToStream(std::string_view body) const {
    auto num = [](long v) {
        char b[24];
        auto r = std::to_chars(b, b + sizeof b, v);
        return std::string(b, r.ptr);
    };
    std::string out = "{\\rtf1\\" + F.CharSet + "\\ansicpg" + num(F.AnsiCpg) + "\\deff" + num(F.defaultFontInx) +
                      "\\deflang" + num(F.deflang) + "\\deflangfe" + num(F.deflangfe) + "\r\n";
    out += "{\\fonttbl\r\n";
    for (int idx : F.fontList.fontTableIndexes()) {
        const TRtfFontInfo& f = *F.fontList.find(idx);
        out += "{\\f" + num(idx) + "\\" + f.Family + "\\fcharset" + num(f.FCharset) + "\\fprq" + num(f.fprq) +
               (f.panose.empty() ? std::string(" ") : "{\\*\\panose " + f.panose + "}") +
               kavelin::text::toCp1252(f.Name) + ";}\r\n";
    }
    out += "}";
    out += "{\\colortbl;\r\n";
    // Entry 0 is the automatic colour, written as the leading ";".
    const auto& colors = F.colorTable.colors;
    for (size_t i = 1; i < colors.size(); ++i)
        out += "\\red" + num(redOf(colors[i])) + "\\green" + num(greenOf(colors[i])) + "\\blue" + num(blueOf(colors[i])) + ";\r\n";
    out += "}";
    out += body;
    out += "}";
    return out;
}

}  // namespace kavelin::rtf
