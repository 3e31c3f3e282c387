#include "app/rtf/rtfdocparser.h"

#include <algorithm>
#include <cmath>

#include "app/rtf/drawingreader.h"
#include "app/rtf/rtfactions.h"
#include "common/text/encoding.h"

namespace kavelin::rtf {

namespace {

// Lengths are kept within the largest page a word processor allows, so
// that sums of them cannot overflow.
constexpr int MaxTwips = 31680;
int twips(const TRtfTokenizer& t, int def) { return std::clamp(t.getParam(def), -MaxTwips, MaxTwips); }

// The state stack keeps this many levels; deeper groups share the last one.
constexpr size_t MaxStack = 1000;

TColor mix(TColor back, TColor pattern, int shading) {
    double s = std::clamp(shading, 0, 10000) / 10000.0;
    auto m = [s](unsigned b, unsigned p) { return static_cast<unsigned>(std::lround((1 - s) * b + s * p)); };
    return rgb(m(redOf(back), redOf(pattern)), m(greenOf(back), greenOf(pattern)), m(blueOf(back), blueOf(pattern)));
}

}  // namespace

bool TRtfFieldParser::BeginGroupHandler(TRtfTokenizer& t, bool star) {
    std::string opening = star ? "{\\*\\" : "{\\";
    if (t.token("fldinst")) {
        fldinst = copyGroup(t, opening + "fldinst ");
        return true;
    }
    if (t.token("fldrslt")) {
        fldrslt = copyGroup(t, opening + "fldrslt ");
        return true;
    }
    return false;
}

bool TRtfFieldParser::CtrlWordHandler(TRtfTokenizer& t) {
    if (t.token("flddirty")) flddirty = true;
    else if (t.token("fldedit")) fldedit = true;
    else if (t.token("fldlock")) fldlock = true;
    else if (t.token("fldpriv")) fldpriv = true;
    else return false;
    return true;
}

TRtfParagraphParser::TRtfParagraphParser(TRtfFileSettings& settings, TTextSequence& target, TDocument* document,
                                         const TStackableStatus& start)
    : TRtfFileParser(settings), S(start), FDocRTFstraum(&target), doc(document) {
    FWrkpar = newParagraph();
}

TRtfParagraphParser::~TRtfParagraphParser() = default;

std::unique_ptr<TAttributedText> TRtfParagraphParser::newParagraph() const {
    return std::make_unique<TAttributedText>(S.chr);
}

// ---- groups ----------------------------------------------------------------

void TRtfParagraphParser::OpenBrace(TRtfTokenizer& t) {
    FSkipchars = 0;
    if (FStateStack.size() < MaxStack) FStateStack.push_back(S);
    else ++FUnsavedLevels;
    TRtfFileParser::OpenBrace(t);
}

void TRtfParagraphParser::CloseBrace(TRtfTokenizer&) {
    FSkipchars = 0;
    if (FUnsavedLevels > 0) {
        --FUnsavedLevels;
        return;
    }
    if (FStateStack.empty()) return;
    TStackableStatus restored = std::move(FStateStack.back());
    FStateStack.pop_back();
    TCharStatus chr = restored.chr;
    restored.chr = S.chr;  // what the open paragraph holds now
    S = std::move(restored);
    setCharState(chr);
}

void TRtfParagraphParser::setCharState(const TCharStatus& to) {
    // S.chr is the state the open paragraph ends in; commands are added for
    // whatever differs.
    const TCharStatus& now = S.chr;
    if (now.FName != to.FName || now.FCharset != to.FCharset) FWrkpar->ChangeFontName(to.FName, to.FCharset);
    if (now.FHeight != to.FHeight) FWrkpar->ChangeFontHeight(to.FHeight);
    if (now.FColor != to.FColor) FWrkpar->ChangeFontColor(to.FColor);
    if (now.FAttributes != to.FAttributes) FWrkpar->SetAttributes(to.FAttributes);
    if (now.FExpand != to.FExpand) FWrkpar->ChangeExpansion(to.FExpand);
    if (now.FVerticalDisp != to.FVerticalDisp) FWrkpar->ChangeVerticalDisplacement(to.FVerticalDisp);
    S.chr = to;
}

void TRtfParagraphParser::readInPlace(std::string_view rtf) {
    TRtfTokenizer t(rtf);
    ReadRTF(t);
}

bool TRtfParagraphParser::BeginGroupHandler(TRtfTokenizer& t, bool star) {
    bool fontTable = t.token("fonttbl");
    if (TRtfFileParser::BeginGroupHandler(t, star)) {
        if (fontTable) {
            // The default font applies from the start, in the saved states too.
            if (const TRtfFontInfo* f = F.fontList.find(F.defaultFontInx)) {
                auto useDefault = [f](TCharStatus& c) {
                    if (!c.FName.empty()) return;
                    c.FName = f->Name;
                    c.FCharset = static_cast<std::uint8_t>(f->FCharset);
                };
                useDefault(S.chr);
                for (auto& st : FStateStack) useDefault(st.chr);
                if (FWrkpar->IsEmpty()) useDefault(FWrkpar->FStartStatus);
            }
        }
        return true;
    }
    static const std::pair<const char*, THdrFtrIndex> hdrftr[] = {
        {"header", hf_header}, {"headerl", hf_headerLeft}, {"headerr", hf_headerRight}, {"headerf", hf_headerFirst},
        {"footer", hf_footer}, {"footerl", hf_footerLeft}, {"footerr", hf_footerRight}, {"footerf", hf_footerFirst}};
    for (auto& [w, index] : hdrftr)
        if (t.token(w)) {
            auto seq = std::make_unique<TTextSequence>();
            TRtfParagraphParser hp(F, *seq, nullptr, S);
            hp.FieldComputer = FieldComputer;
            hp.FFieldDepth = FFieldDepth;
            hp.ReadRTF(t);
            hp.finish();
            if (doc) doc->SetHeader(index, std::move(seq));
            return true;
        }
    bool object = t.token("field") || t.token("pict") || t.token("do") || t.token("shp") || t.token("shpgrp");
    if (object && FMetaOnly) throw ERTFBreak();
    if (t.token("field")) {
        TRtfFieldParser fp;
        fp.ReadRTF(t);
        if (FieldComputer && FFieldDepth < MaxFieldDepth) FieldComputer->ComputeField(*this, fp);
        if (!fp.fldrslt.empty()) {
            ++FFieldDepth;
            try {
                readInPlace(fp.fldrslt);
            } catch (...) {
                --FFieldDepth;
                throw;
            }
            --FFieldDepth;
        }
        return true;
    }
    if (t.token("pict")) {
        TRtfPictReader pr;
        pr.ReadRTF(t);
        if (auto pic = pr.makePicture()) FWrkpar->AddGraphic(std::move(pic));
        return true;
    }
    if (t.token("footnote") || t.token("nonshppict")) {
        skipGroup(t);
        return true;
    }
    if (t.token("do")) {
        TRTFDrawingObjectReader reader(F, S, FieldComputer);
        reader.ReadRTF(t);
        if (auto obj = reader.result()) FDocRTFstraum->Add(std::move(obj));
        return true;
    }
    if (t.token("shp") || t.token("shpgrp")) {
        // A shape shows the drawing of its result part, or else the result itself.
        TRTFShapeObject shape(F, S, FieldComputer);
        shape.ReadRTF(t);
        if (auto obj = shape.drawing()) FDocRTFstraum->Add(std::move(obj));
        else if (!shape.shprslt.empty()) readInPlace(shape.shprslt);
        return true;
    }
    return false;
}

void TRtfParagraphParser::DoOnUserProps(TRtfTokenizer&) { throw ERtfError("Ikke implementert!"); }

// ---- text ------------------------------------------------------------------

void TRtfParagraphParser::TextHandler(TRtfTokenizer&, unsigned char byte) {
    if (FMetaOnly) throw ERTFBreak();
    if (FSkipchars > 0) {
        --FSkipchars;
        return;
    }
    FHighSurrogate = 0;
    char c = static_cast<char>(byte);
    FWrkpar->TextOut(std::string_view(&c, 1));
}

void TRtfParagraphParser::unicodeChar(int value) {
    if (FMetaOnly) throw ERTFBreak();
    // Negative parameters stand for code units above 32767.
    char32_t u = static_cast<char32_t>(value < 0 ? (value >= -32768 ? value + 65536 : 0xFFFD) : std::min(value, 0xFFFF));
    FSkipchars = S.UniCodeSkipCount;
    if (u >= 0xD800 && u <= 0xDBFF) {
        FHighSurrogate = static_cast<char16_t>(u);
        return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
        if (!FHighSurrogate) return;
        u = 0x10000 + ((char32_t(FHighSurrogate) - 0xD800) << 10) + (u - 0xDC00);
    }
    FHighSurrogate = 0;
    if (u < 0x10000 && u >= 32) {
        // A character the 8-bit code page has goes in as text, so that it
        // takes part in line breaking like any other.
        std::string b = kavelin::text::toCp1252(std::u16string(1, static_cast<char16_t>(u)));
        if (b.size() == 1 && (b[0] != '?' || u == U'?') && static_cast<unsigned char>(b[0]) >= 32) {
            FWrkpar->TextOut(b);
            return;
        }
    }
    if (u < 32) return;
    FWrkpar->AddGraphic(std::make_unique<TUniCodeSymbolGraphic>(u));
}

// ---- control words ---------------------------------------------------------

bool TRtfParagraphParser::CtrlWordHandler(TRtfTokenizer& t) {
    FSkipchars = 0;
    if (t.token("u")) {
        if (t.harparameter) unicodeChar(t.parambuffer);
        return true;
    }
    if (t.token("uc")) {
        S.UniCodeSkipCount = std::clamp(t.getParam(1), 0, 16);
        return true;
    }
    if (t.token("shppict")) return true;  // its picture is read in place
    if (t.token("shprslt") || t.token("nonshppict")) {
        S.SuppressLFonPar = true;
        return true;
    }
    if (TRtfFileParser::CtrlWordHandler(t)) return true;
    if (doc && documentWord(t)) return true;
    if (frameWord(t)) return true;
    return actionWord(t);
}

bool TRtfParagraphParser::documentWord(TRtfTokenizer& t) {
    TTextSection& sec = doc->CurrSection();
    const std::string& w = t.word;
    if (w == "sect") {
        if (!FWrkpar->IsEmpty()) endParagraph(true);
        finishTable();
        DestinationPosFrame = nullptr;
        lastPlaced = nullptr;
        FDocRTFstraum = &doc->NewSection().IList;
    } else if (w == "sectd") {
        sec.NumCols = 1;
        sec.colspace = 720;
        sec.Break = 2;
        sec.LineBetCol = false;
        sec.marg = doc->marg;
        sec.landscape = doc->landscape;
        sec.papersize = doc->papersize;
        sec.paperbin = sec.paperbinfirst = 0;
    } else if (w == "sbknone") sec.Break = 0;
    else if (w == "sbkcol") sec.Break = 1;
    else if (w == "sbkpage") sec.Break = 2;
    else if (w == "sbkeven") sec.Break = 3;
    else if (w == "sbkodd") sec.Break = 4;
    else if (w == "binsxn") sec.paperbin = t.getParam(0);
    else if (w == "binfsxn") sec.paperbinfirst = t.getParam(0);
    else if (w == "cols") sec.NumCols = std::clamp(t.getParam(1), 1, 20);
    else if (w == "colsx") sec.colspace = std::clamp(twips(t, 720), 0, MaxTwips);
    else if (w == "linebetcol") sec.LineBetCol = true;
    else if (w == "pgnstarts") sec.PgnStarts = std::clamp(t.getParam(1), -30000, 30000);
    else if (w == "pgnrestart") sec.PgnRestart = true;
    else if (w == "pgncont") sec.PgnRestart = false;
    else if (w == "pgwsxn") sec.papersize.cx = std::max(1, twips(t, 12240));
    else if (w == "pghsxn") sec.papersize.cy = std::max(1, twips(t, 15840));
    else if (w == "marglsxn") sec.marg.left = twips(t, 1800);
    else if (w == "margrsxn") sec.marg.right = twips(t, 1800);
    else if (w == "margtsxn") sec.marg.top = twips(t, 1440);
    else if (w == "margbsxn") sec.marg.bottom = twips(t, 1440);
    else if (w == "uselogicalpagesize") doc->UseDocPaperSize = true;
    else if (w == "hyphhotz") doc->hyphotz = twips(t, 720);
    else if (w == "hyphauto") doc->hyphauto = t.getboolean();
    else if (w == "facingp") doc->facingp = true;
    else if (w == "gutter") doc->gutter = twips(t, 0);
    else if (w == "widowctrl") F.WidowCtrl = true;
    else if (w == "landscape") doc->landscape = sec.landscape = true;
    else if (w == "lndscpsxn") sec.landscape = true;
    else if (w == "margl") doc->marg.left = sec.marg.left = twips(t, 1800);
    else if (w == "margr") doc->marg.right = sec.marg.right = twips(t, 1800);
    else if (w == "margt") doc->marg.top = sec.marg.top = twips(t, 1440);
    else if (w == "margb") doc->marg.bottom = sec.marg.bottom = twips(t, 1440);
    else if (w == "paperw") doc->papersize.cx = sec.papersize.cx = std::max(1, twips(t, 12240));
    else if (w == "paperh") doc->papersize.cy = sec.papersize.cy = std::max(1, twips(t, 15840));
    else if (w == "headery") sec.HeaderY = twips(t, 0);
    else if (w == "footery") sec.FooterY = twips(t, 0);
    else if (w == "deftab") F.defaultTab = std::max(0, twips(t, 720));
    else return false;
    return true;
}

bool TRtfParagraphParser::frameWord(TRtfTokenizer& t) {
    TPosFrame& f = S.PosFrame;
    const std::string& w = t.word;
    auto setX = [&](int x) { f.x = x, f.hasX = true; };
    auto setY = [&](int y) { f.y = y, f.hasY = true; };
    if (w == "absw") f.width = std::max(0, twips(t, 0));
    else if (w == "absh") f.height = twips(t, 0);
    else if (w == "posx") setX(twips(t, 0));
    else if (w == "posnegx") setX(-twips(t, 0));
    else if (w == "posxc") setX(poscode::xCenter);
    else if (w == "posxr") setX(poscode::xRight);
    else if (w == "posxi") setX(poscode::xInside);
    else if (w == "posxo") setX(poscode::xOutside);
    else if (w == "posxl") setX(0);
    else if (w == "posy") setY(twips(t, 0));
    else if (w == "posnegy") setY(-twips(t, 0));
    else if (w == "posyt") setY(0);
    else if (w == "posyc") setY(poscode::yCenter);
    else if (w == "posyb") setY(poscode::yBottom);
    else if (w == "posyil") setY(poscode::yInline);
    else if (w == "phmrg") f.hor = THorReference::haMargin;
    else if (w == "phpg") f.hor = THorReference::haPage;
    else if (w == "phcol") f.hor = THorReference::haColumn;
    else if (w == "pvmrg") f.vert = TVertReference::vaMargin;
    else if (w == "pvpg") f.vert = TVertReference::vaPage;
    else if (w == "pvpara") f.vert = TVertReference::vaPara;
    else if (w == "overlay") f.overlay = true;
    else if (w == "abslock" || w == "dfrtext" || w == "dfrmtxtx" || w == "dfrmtxty") return true;
    else return false;
    return true;
}

void TRtfParagraphParser::setFont(int number) {
    TCharStatus to = S.chr;
    const TRtfFontInfo* f = F.fontList.find(number);
    to.FName = f ? f->Name : std::u16string();
    to.FCharset = f ? static_cast<std::uint8_t>(f->FCharset) : 0;
    FWrkpar->ChangeFontName(to.FName, to.FCharset);
    S.chr = to;
}

void TRtfParagraphParser::modifyBorder(const std::function<void(TBorderSide&)>& change) {
    switch (FDefiningBorder) {
    case BorderTarget::none: return;
    case BorderTarget::paragraph: S.FBorders.modify(FDefiningBorderIndex, change); return;
    case BorderTarget::row:
        if (FCurrRowDef) FCurrRowDef->FBorders.modify(FDefiningBorderIndex, change);
        return;
    case BorderTarget::cell: FCurrCellDef.FBorders.modify(FDefiningBorderIndex, change); return;
    }
}

bool TRtfParagraphParser::actionWord(TRtfTokenizer& t) {
    using A = TRtfActionCode;
    TRtfActionCode code = actionOf(t.word);
    if (code == A::ra_unknown) return false;
    TCharStatus& c = S.chr;
    auto attrib = [&](TCharAttributes bit, bool on) {
        if (on) c.FAttributes |= bit;
        else c.FAttributes &= static_cast<TCharAttributes>(~bit);
        FWrkpar->SetAttribute(bit, on);
    };
    auto border = [&](BorderTarget target, TBorderIndex index) {
        FDefiningBorder = target;
        FDefiningBorderIndex = index;
    };
    auto style = [&](TBorderStyle s) { modifyBorder([s](TBorderSide& b) { b.Style = s; }); };
    auto color = [&](int index) { return F.colorTable.getColor(index); };
    auto brush = [&](TBrushStyle b) { FCurrCellDef.BrushStyle = b; };
    int p = t.getParam(0);
    switch (code) {
    case A::ra_plain: {
        TCharStatus d;
        const TRtfFontInfo* f = F.fontList.find(F.defaultFontInx);
        d.FName = f ? f->Name : std::u16string();
        setCharState(d);
        break;
    }
    case A::ra_f: setFont(p); break;
    case A::ra_fs: {
        c.FHeight = std::clamp(t.getParam(24), 1, 3276) * 10;
        FWrkpar->ChangeFontHeight(c.FHeight);
        break;
    }
    case A::ra_b: attrib(attr::bold, t.getboolean()); break;
    case A::ra_i: attrib(attr::italic, t.getboolean()); break;
    case A::ra_ul: case A::ra_uld: case A::ra_uldash: case A::ra_uldashd: case A::ra_uldashdd: case A::ra_uldb:
    case A::ra_ulth: case A::ra_ulw: case A::ra_ulwave: attrib(attr::underline, t.getboolean()); break;
    case A::ra_ulnone: attrib(attr::underline, false); break;
    case A::ra_strike: case A::ra_striked: case A::ra_strikedl: attrib(attr::strikeOut, t.getboolean()); break;
    case A::ra_outl: attrib(attr::outline, t.getboolean()); break;
    case A::ra_caps: attrib(attr::caps, t.getboolean()); break;
    case A::ra_scaps: attrib(attr::smallCaps, t.getboolean()); break;
    case A::ra_shad: attrib(attr::shadow, t.getboolean()); break;
    case A::ra_v: attrib(attr::hidden, t.getboolean()); break;
    case A::ra_sub: attrib(attr::superscript, false), attrib(attr::subscript, true); break;
    case A::ra_super: attrib(attr::subscript, false), attrib(attr::superscript, true); break;
    case A::ra_nosupersub: attrib(attr::subscript, false), attrib(attr::superscript, false); break;
    case A::ra_up:
    case A::ra_dn: {
        int d = std::clamp(t.getParam(6), -3000, 3000) * 10;
        c.FVerticalDisp = code == A::ra_up ? -d : d;
        FWrkpar->ChangeVerticalDisplacement(c.FVerticalDisp);
        break;
    }
    case A::ra_expnd:
    case A::ra_expndtw:
        c.FExpand = std::clamp(code == A::ra_expnd ? p * 5 : p, -MaxTwips, MaxTwips);
        FWrkpar->ChangeExpansion(c.FExpand);
        break;
    case A::ra_cf:
        c.FColor = color(p);
        FWrkpar->ChangeFontColor(c.FColor);
        break;
    case A::ra_pard: {
        TStackableStatus d;
        d.chr = S.chr;
        d.UniCodeSkipCount = S.UniCodeSkipCount;
        S = d;
        intable = false;
        FDefiningBorder = BorderTarget::none;
        break;
    }
    case A::ra_par:
        if (S.SuppressLFonPar) {
            S.SuppressLFonPar = false;
            break;
        }
        endParagraph(true);
        break;
    case A::ra_widctlpar: S.fWidCtrl = 1; break;
    case A::ra_nowidctlpar: S.fWidCtrl = 0; break;
    case A::ra_fi: S.FirstLineIndent = twips(t, 0); break;
    case A::ra_li: S.FBorders.FIndent.left = twips(t, 0); break;
    case A::ra_ri: S.FBorders.FIndent.right = twips(t, 0); break;
    case A::ra_ql: S.Align = TTextAlign::taLeft; break;
    case A::ra_qr: S.Align = TTextAlign::taRight; break;
    case A::ra_qj: S.Align = TTextAlign::taJustify; break;
    case A::ra_qc: S.Align = TTextAlign::taCentered; break;
    case A::ra_sb: S.SpaceBefore = std::max(0, twips(t, 0)); break;
    case A::ra_sa: S.SpaceAfter = std::max(0, twips(t, 0)); break;
    case A::ra_sl: S.LineSpace = p == 1000 ? 0 : twips(t, 0); break;
    case A::ra_shading: S.ParShading = p; break;
    case A::ra_cfpat: S.ParFgColor = color(p); break;
    case A::ra_cbpat: S.ParBkColor = color(p); break;
    case A::ra_keep: S.Keep = true; break;
    case A::ra_keepn: S.KeepWithNext = true; break;
    case A::ra_pagebb: S.PageBreakBefore = true; break;
    case A::ra_tql: S.tabDef.align = TTextAlign::taLeft; break;
    case A::ra_tqr: S.tabDef.align = TTextAlign::taRight; break;
    case A::ra_tqc: S.tabDef.align = TTextAlign::taCentered; break;
    case A::ra_tx:
        S.tabDef.pos = twips(t, 0);
        S.FTabs.add(S.tabDef);
        S.tabDef = {};
        break;
    case A::ra_line: FWrkpar->LineBreak(); break;
    case A::ra_page: FWrkpar->PageBreak(); break;
    case A::ra_tab: FWrkpar->Tabulator(); break;
    case A::ra_nonbreakingspace: FWrkpar->NonBreakingSpace(); break;
    case A::ra_optionalhyphen: FWrkpar->OptionalHyphen(); break;
    case A::ra_nonbreakinghyphen: FWrkpar->NonBreakingHyphen(); break;
    case A::ra_chpgn: FWrkpar->AddGraphic(std::make_unique<TPageNumber>()); break;
    case A::ra_numpages: FWrkpar->AddGraphic(std::make_unique<TNumPages>()); break;
    case A::ra_sectnum: FWrkpar->AddGraphic(std::make_unique<TSectionNumber>()); break;
    case A::ra_brdrt: border(BorderTarget::paragraph, biTop); break;
    case A::ra_brdrb: border(BorderTarget::paragraph, biBottom); break;
    case A::ra_brdrl: border(BorderTarget::paragraph, biLeft); break;
    case A::ra_brdrr: border(BorderTarget::paragraph, biRight); break;
    case A::ra_box: border(BorderTarget::paragraph, biBox); break;
    case A::ra_trbrdrt: border(BorderTarget::row, biTop); break;
    case A::ra_trbrdrb: border(BorderTarget::row, biBottom); break;
    case A::ra_trbrdrl: border(BorderTarget::row, biLeft); break;
    case A::ra_trbrdrr: border(BorderTarget::row, biRight); break;
    case A::ra_trbrdrh: border(BorderTarget::row, biHor); break;
    case A::ra_trbrdrv: border(BorderTarget::row, biVert); break;
    case A::ra_clbrdrt: border(BorderTarget::cell, biTop); break;
    case A::ra_clbrdrb: border(BorderTarget::cell, biBottom); break;
    case A::ra_clbrdrl: border(BorderTarget::cell, biLeft); break;
    case A::ra_clbrdrr: border(BorderTarget::cell, biRight); break;
    case A::ra_brdrw: {
        int w = std::clamp(p, 0, 255);
        modifyBorder([w](TBorderSide& b) { b.LineWidth = w; });
        break;
    }
    case A::ra_brdrth: modifyBorder([](TBorderSide& b) { b.LineWidth = std::min(b.LineWidth * 2, 255); }); break;
    case A::ra_brdrs: case A::ra_brdrtw: case A::ra_brdrbar: break;
    case A::ra_brdrsh: style(TBorderStyle::brdr_shadowed); break;
    case A::ra_brdrdb: style(TBorderStyle::brdr_double); break;
    case A::ra_brdrdot: style(TBorderStyle::brdr_dotted); break;
    case A::ra_brdrdash: style(TBorderStyle::brdr_dashed); break;
    case A::ra_brdrhair: style(TBorderStyle::brdr_hairline); break;
    case A::ra_brdrcf: {
        TColor col = color(p);
        modifyBorder([col](TBorderSide& b) { b.Color = col; });
        break;
    }
    case A::ra_brsp: {
        int sp = std::clamp(p, 0, MaxTwips);
        modifyBorder([sp](TBorderSide& b) { b.Space = sp; });
        break;
    }
    case A::ra_trowd:
        ensureTable();
        FCurrRowDef = &FActiveTable->newRowDef();
        FCurrCellDef = {};
        cPos = 0;
        cellDefined = false;
        break;
    case A::ra_trleft: ensureRowDef(), FCurrRowDef->Left = twips(t, 0); break;
    case A::ra_trgaph: ensureRowDef(), FCurrRowDef->CellGaph = std::max(0, twips(t, 0)); break;
    case A::ra_trpaddl: ensureRowDef(), FCurrRowDef->CellPaddL = std::max(0, twips(t, 0)); break;
    case A::ra_tblind: ensureRowDef(), FCurrRowDef->TblIndent = twips(t, 0); break;
    case A::ra_tblindtype: ensureRowDef(), FCurrRowDef->TblIndentType = p; break;
    case A::ra_trrh: ensureRowDef(), FCurrRowDef->WantHeight = twips(t, 0); break;
    case A::ra_trql: ensureRowDef(), FCurrRowDef->Align = TTextAlign::taLeft; break;
    case A::ra_trqr: ensureRowDef(), FCurrRowDef->Align = TTextAlign::taRight; break;
    case A::ra_trqc: ensureRowDef(), FCurrRowDef->Align = TTextAlign::taCentered; break;
    case A::ra_trhdr: ensureRowDef(), FCurrRowDef->IsHeader = true; break;
    case A::ra_trkeep: ensureRowDef(), FCurrRowDef->Keep = true; break;
    case A::ra_cellx: {
        ensureRowDef();
        int right = twips(t, 0);
        FCurrCellDef.Width = right - (cellDefined ? cPos : FCurrRowDef->Left);
        if (FCurrCellDef.Width < 0) FCurrCellDef.Width = 0;
        FCurrRowDef->addCellDef(FCurrCellDef);
        FCurrCellDef = {};
        cPos = right;
        cellDefined = true;
        break;
    }
    case A::ra_clvertalt: FCurrCellDef.VertAlign = TCellVertAlign::caTop; break;
    case A::ra_clvertalc: FCurrCellDef.VertAlign = TCellVertAlign::caCenter; break;
    case A::ra_clvertalb: FCurrCellDef.VertAlign = TCellVertAlign::caBottom; break;
    case A::ra_cltxlrtb: FCurrCellDef.TextDirection = TTextDirection::txd_horizontal; break;
    case A::ra_cltxbtlr: FCurrCellDef.TextDirection = TTextDirection::txd_BottomTop; break;
    case A::ra_cltxtbrl: FCurrCellDef.TextDirection = TTextDirection::txd_TopBottom; break;
    case A::ra_clshdng: FCurrCellDef.Shading = std::clamp(p, 0, 10000); break;
    case A::ra_clbghoriz: case A::ra_clbgdkhor: brush(TBrushStyle::bsHorizontal); break;
    case A::ra_clbgvert: case A::ra_clbgdkvert: brush(TBrushStyle::bsVertical); break;
    case A::ra_clbgfdiag: case A::ra_clbgdkfdiag: brush(TBrushStyle::bsFDiagonal); break;
    case A::ra_clbgbdiag: case A::ra_clbgdkbdiag: brush(TBrushStyle::bsBDiagonal); break;
    case A::ra_clbgcross: case A::ra_clbgdkcross: brush(TBrushStyle::bsCross); break;
    case A::ra_clbgdcross: case A::ra_clbgdkdcross: brush(TBrushStyle::bsDiagCross); break;
    case A::ra_clcfpat: FCurrCellDef.fillcolor = color(p); break;
    case A::ra_clcbpat: FCurrCellDef.backgrColor = color(p); break;
    case A::ra_clvmgf: FCurrCellDef.Mode = TCellMode::cmMerged; break;
    case A::ra_clvmrg: FCurrCellDef.Mode = TCellMode::cmHidden; break;
    case A::ra_intbl: intable = true; break;
    case A::ra_cell:
        intable = true;
        endParagraph(true);
        if (FActiveRow) FActiveRow->endCell();
        break;
    case A::ra_row: finishRow(); intable = false; break;
    default: break;  // words handled elsewhere or ignored ("cb", "kerning", "s", ...)
    }
    return true;
}

// ---- paragraphs, tables, frames -------------------------------------------

void TRtfParagraphParser::ensureTable() {
    if (!FActiveTable) FActiveTable = std::make_unique<TTableParagraph>();
}

void TRtfParagraphParser::ensureRowDef() {
    ensureTable();
    if (!FCurrRowDef) {
        FCurrRowDef = &FActiveTable->newRowDef();
        cPos = 0;
        cellDefined = false;
    }
}

void TRtfParagraphParser::finishRow() {
    if (!FActiveRow) return;
    ensureRowDef();
    // The row's last "cell" opened an empty cell that is not part of the row.
    auto& cells = FActiveRow->FCellsContent;
    if (cells.size() > 1 && cells.back()->ItemCount() == 0) {
        cells.pop_back();
        FActiveRow->FWrkContent = cells.back().get();
    }
    FActiveRow->addDef(FCurrRowDef);
    FActiveTable->add(std::move(FActiveRow));
}

void TRtfParagraphParser::finishTable() {
    if (!FActiveTable) return;
    finishRow();
    auto table = std::move(FActiveTable);
    FCurrRowDef = nullptr;
    if (table->ItemCount() == 0) return;
    TPosFrame pos = table->FPosFrame;
    placeItem(std::move(table), pos);
}

void TRtfParagraphParser::endParagraph(bool evenIfEmpty) {
    if (!evenIfEmpty && FWrkpar->IsEmpty()) return;
    std::unique_ptr<TAttributedText> p = std::move(FWrkpar);
    FWrkpar = newParagraph();
    p->FKeep = S.Keep;
    p->FKeepWithNext = S.KeepWithNext;
    p->FPageBreakBefore = S.PageBreakBefore;
    p->FWidCtrl = S.fWidCtrl >= 0 ? S.fWidCtrl == 1 : F.WidowCtrl;
    p->FAlign = S.Align;
    p->FFirstLineIndent = S.FirstLineIndent;
    p->LineSpace = S.LineSpace;
    p->FSpaceAfter = S.SpaceAfter;
    p->FSpaceBefore = S.SpaceBefore;
    p->Borders = S.FBorders;
    p->FTabs = S.FTabs;
    p->FTabs.FDefaultTab = F.defaultTab;
    p->color = mix(S.ParBkColor, S.ParFgColor, S.ParShading);

    if (intable) {
        ensureTable();
        if (!FActiveRow) FActiveRow = std::make_unique<TTableRow>();
        FActiveRow->AddText(std::move(p));
        FActiveTable->FPosFrame = S.PosFrame;
        return;
    }
    finishTable();
    placeItem(std::move(p), S.PosFrame);
}

void TRtfParagraphParser::placeItem(std::unique_ptr<TPageElement> item, const TPosFrame& pos) {
    if (DestinationPosFrame && !DestinationPosFrame->equals(pos)) {
        DestinationPosFrame = nullptr;
        lastPlaced = nullptr;
    }
    TTextSequence* into = FDocRTFstraum;
    if (pos.active()) {
        if (!DestinationPosFrame) {
            auto frame = std::make_unique<TTextFrame>(pos);
            DestinationPosFrame = frame.get();
            FDocRTFstraum->Add(std::move(frame));
            lastPlaced = nullptr;
        }
        into = &DestinationPosFrame->Innhald;
    }
    // Consecutive paragraphs with the same border share one box.
    auto* para = dynamic_cast<TAttributedText*>(item.get());
    if (para && lastPlaced && para->Borders.hasBorder() && para->Borders == lastPlaced->Borders) {
        lastPlaced->BorderLast = false;
        para->BorderFirst = false;
    }
    lastPlaced = para;
    into->Add(std::move(item));
}

void TRtfParagraphParser::finish() {
    endParagraph(false);
    finishTable();
}

std::unique_ptr<TDocument> TRtfDocumentParser::LoadRTFDocument(std::string_view rtf, bool metaOnly,
                                                               TFieldComputer* fields) {
    auto doc = std::make_unique<TDocument>();
    TRtfFileSettings settings;
    TTextSequence& body = doc->NewSection().IList;
    TStackableStatus start;
    TRtfParagraphParser parser(settings, body, doc.get(), start);
    parser.FMetaOnly = metaOnly;
    parser.FieldComputer = fields;
    TRtfTokenizer t(rtf);
    try {
        parser.LoadRTFDocument(t);
        if (!metaOnly) parser.finish();
    } catch (...) {
        doc->info = settings.info;
        throw;
    }
    doc->info = settings.info;
    return doc;
}

}  // namespace kavelin::rtf
