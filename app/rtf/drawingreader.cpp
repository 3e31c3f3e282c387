#include "app/rtf/drawingreader.h"

#include <algorithm>
#include <charconv>

namespace kavelin::rtf {

namespace {

constexpr int MaxCoord = 31680 * 4;
constexpr size_t MaxPoints = 4096;
constexpr int MaxGroupDepth = 64;

int coord(const TRtfTokenizer& t) { return std::clamp(t.getParam(0), -MaxCoord, MaxCoord); }
unsigned byteOf(const TRtfTokenizer& t) { return static_cast<unsigned>(std::clamp(t.getParam(0), 0, 255)); }

enum Kind { kLine = 0, kPolyline = 1, kPolygon = 2, kEllipse = 3, kRect = 4, kArc = 5, kTextBox = 6, kCallout = 7,
            kGroup = 23, kGroupEnd = 99 };

}  // namespace

TRTFDrawingObjectReader::TRTFDrawingObjectReader(TRtfFileSettings& settings, const TStackableStatus& status,
                                                 TFieldComputer* fields)
    : F(settings), fCurrstatus(status), FFields(fields) {}

TRTFDrawingObjectReader::~TRTFDrawingObjectReader() = default;

void TRTFDrawingObjectReader::add(std::unique_ptr<TRectGraphic> g, int kind) {
    defdrwng = g.get();
    graphicstype = kind;
    pti = 0;
    polycount = 2;
    glist.push_back(std::move(g));
    kinds.push_back(kind);
}

bool TRTFDrawingObjectReader::BeginGroupHandler(TRtfTokenizer& t, bool) {
    if (!t.token("dptxbxtext")) return false;
    auto* box = dynamic_cast<TTextBox*>(defdrwng);
    if (!box || box == &dummygr) {
        skipGroup(t);
        return true;
    }
    TRtfParagraphParser p(F, box->txt, nullptr, fCurrstatus);
    p.FieldComputer = FFields;
    p.ReadRTF(t);
    p.finish();
    return true;
}

bool TRTFDrawingObjectReader::CtrlWordHandler(TRtfTokenizer& t) {
    const std::string& w = t.word;
    TRectGraphic& g = *defdrwng;
    auto* poly = graphicstype >= kLine && graphicstype <= kPolygon ? dynamic_cast<TPolyLine*>(defdrwng) : nullptr;
    auto setByte = [&](TColor& c, int shift) {
        c = (c & ~(TColor(0xFF) << shift)) | (TColor(byteOf(t)) << shift);
    };
    if (w == "dobxpage") hor = THorReference::haPage;
    else if (w == "dobxmargin") hor = THorReference::haMargin;
    else if (w == "dobxcolumn") hor = THorReference::haColumn;
    else if (w == "dobypage") vert = TVertReference::vaPage;
    else if (w == "dobymargin") vert = TVertReference::vaMargin;
    else if (w == "dobypara") vert = TVertReference::vaPara;
    else if (w == "dodhgt") dodhgt = t.getParam(0);
    else if (w == "dolock") dolock = true;
    else if (w == "dpline") add(std::make_unique<TPolyLine>(), kLine);
    else if (w == "dppolyline") add(std::make_unique<TPolyLine>(), kPolyline);
    else if (w == "dppolygon") add(std::make_unique<TPolyLine>(), kPolygon);
    else if (w == "dpellipse") add(std::make_unique<TEllipse>(), kEllipse);
    else if (w == "dprect") add(std::make_unique<TRectangle>(), kRect);
    else if (w == "dparc") add(std::make_unique<TArc>(), kArc);
    else if (w == "dptxbx") add(std::make_unique<TTextBox>(), kTextBox);
    else if (w == "dpcallout") add(std::make_unique<TCallOutGraphic>(), kCallout);
    else if (w == "dpgroup") add(std::make_unique<TGroupGraphic>(), kGroup);
    else if (w == "dpendgroup") add(std::make_unique<TGroupEndDummy>(), kGroupEnd);
    else if (w == "dplinesolid") g.LineStyle = TLineStyle::lsSolid;
    else if (w == "dplinehollow") g.LineStyle = TLineStyle::lsClear;
    else if (w == "dplinedash") g.LineStyle = TLineStyle::lsDash;
    else if (w == "dplinedot") g.LineStyle = TLineStyle::lsDot;
    else if (w == "dplinedado") g.LineStyle = TLineStyle::lsDashDot;
    else if (w == "dplinedadodo") g.LineStyle = TLineStyle::lsDashDotDot;
    else if (w == "dplinecor") setByte(g.LineColor, 0);
    else if (w == "dplinecog") setByte(g.LineColor, 8);
    else if (w == "dplinecob") setByte(g.LineColor, 16);
    else if (w == "dpfillfgcr") setByte(g.ForegrColor, 0);
    else if (w == "dpfillfgcg") setByte(g.ForegrColor, 8);
    else if (w == "dpfillfgcb") setByte(g.ForegrColor, 16);
    else if (w == "dpfillbgcr") setByte(g.BackgrColor, 0);
    else if (w == "dpfillbgcg") setByte(g.BackgrColor, 8);
    else if (w == "dpfillbgcb") setByte(g.BackgrColor, 16);
    else if (w == "dplinegray") g.LineGray = t.getParam(0);
    else if (w == "dpfillfggray") g.ForegrGray = t.getParam(0);
    else if (w == "dpfillbggray") g.BackgrGray = t.getParam(0);
    else if (w == "dpfillpat") g.fillPattern = t.getParam(0);
    else if (w == "dplinew") g.Linewidth = std::clamp(t.getParam(0), 0, 32767);
    else if (w == "dpx") tmprect.left = coord(t);
    else if (w == "dpy") tmprect.top = coord(t);
    else if (w == "dpxsize") tmprect.right = tmprect.left + coord(t);
    else if (w == "dpysize") {
        tmprect.bottom = tmprect.top + coord(t);
        g.fTopLeft = {tmprect.left, tmprect.top};
        g.SetHeight(tmprect.height());
        g.SetWidth(tmprect.width());
    } else if (w == "dppolycount" && poly) {
        polycount = static_cast<size_t>(std::clamp(t.getParam(0), 0, static_cast<int>(MaxPoints)));
        poly->fpoints.resize(polycount);
    } else if ((w == "dpptx" || w == "dppty") && poly) {
        if (pti >= poly->fpoints.size()) return true;
        if (w == "dpptx") poly->fpoints[pti].x = coord(t);
        else poly->fpoints[pti++].y = coord(t);
    } else if ((w == "dparcflipx" || w == "dparcflipy") && graphicstype == kArc) {
        auto& arc = static_cast<TArc&>(g);
        (w == "dparcflipx" ? arc.fflipx : arc.fflipy) = t.getboolean();
    } else if (w == "dptxbxmar" && graphicstype == kTextBox) {
        int m = std::clamp(t.getParam(0), 0, MaxCoord);
        auto& box = static_cast<TTextBox&>(g);
        box.internmarg = {m, m, m, m};
        box.SetWidth(box.fSize.cx);
    } else return false;
    return true;
}

std::unique_ptr<TRectGraphic> TRTFDrawingObjectReader::build(size_t& i, int depth) {
    while (i < glist.size() && kinds[i] == kGroupEnd) ++i;  // a stray end marker
    if (i >= glist.size()) return nullptr;
    size_t at = i++;
    std::unique_ptr<TRectGraphic> g = std::move(glist[at]);
    if (kinds[at] == kGroup) {
        auto* group = static_cast<TGroupGraphic*>(g.get());
        while (i < glist.size() && kinds[i] != kGroupEnd) {
            if (depth >= MaxGroupDepth) {
                ++i;
                continue;
            }
            if (auto member = build(i, depth + 1)) group->elements.push_back(std::move(member));
        }
        if (i < glist.size()) ++i;  // the end marker is dropped
    } else if (kinds[at] == kCallout) {
        auto* callout = static_cast<TCallOutGraphic*>(g.get());
        for (int n = 0; n < 2 && i < glist.size(); ++n, ++i) {
            if (kinds[i] == kTextBox && !callout->fTextBox)
                callout->fTextBox.reset(static_cast<TTextBox*>(glist[i].release()));
            else if (kinds[i] <= kPolygon && !callout->fPolyLine)
                callout->fPolyLine.reset(static_cast<TPolyLine*>(glist[i].release()));
        }
    }
    return g;
}

std::unique_ptr<TDrawingObject> TRTFDrawingObjectReader::result() {
    size_t i = 0;
    std::unique_ptr<TRectGraphic> g = build(i, 0);
    if (!g) return nullptr;
    auto obj = std::make_unique<TDrawingObject>(std::move(g));
    obj->HorRef = hor;
    obj->VertRef = vert;
    return obj;
}

// ---- shapes ----------------------------------------------------------------

TRTFShapeObject::TRTFShapeObject(TRtfFileSettings& settings, const TStackableStatus& s, TFieldComputer* fields)
    : F(settings), status(s), FFields(fields) {}

bool TRTFShapeObject::BeginGroupHandler(TRtfTokenizer& t, bool star) {
    if (t.token("sp")) {
        struct Property : TRtfGroupParser {
            TShapeKeyValuePair kv;
            bool BeginGroupHandler(TRtfTokenizer& t, bool) override {
                bool name = t.token("sn");
                if (!name && !t.token("sv")) return false;
                TRtfString s;
                s.ReadRTF(t);
                (name ? kv.name : kv.value) = s.s;
                return true;
            }
        } p;
        p.ReadRTF(t);
        if (m0.size() < 1000) m0.push_back(p.kv);
        return true;
    }
    if (t.token("shprslt")) {
        shprslt = copyGroup(t, star ? "{\\*\\shprslt " : "{\\shprslt ");
        return true;
    }
    if (t.token("shptxt") || t.token("shpgrp") || t.token("shplockanchor")) {
        skipGroup(t);
        return true;
    }
    return false;
}

bool TRTFShapeObject::CtrlWordHandler(TRtfTokenizer& t) {
    const std::string& w = t.word;
    int v = std::clamp(t.getParam(0), -MaxCoord, MaxCoord);
    if (w == "shpleft") r0.left = v;
    else if (w == "shptop") r0.top = v;
    else if (w == "shpright") r0.right = v;
    else if (w == "shpbottom") r0.bottom = v;
    else if (w == "shpwr") wrapcode = t.getParam(0);
    else if (w == "shpinst") return true;  // its groups are read here
    else if (w == "shplid" || w == "shpz" || w == "shpfhdr" || w == "shpwrk" || w == "shpblwtxt" || w == "shpbxpage" ||
             w == "shpbxmargin" || w == "shpbxcolumn" || w == "shpbypage" || w == "shpbymargin" || w == "shpbypara" ||
             w == "shpfblwtxt" || w == "shpwrk")
        return true;
    else return false;
    return true;
}

const TShapeKeyValuePair* TRTFShapeObject::property(std::string_view name) const {
    for (const auto& kv : m0)
        if (kv.name == name) return &kv;
    return nullptr;
}

std::unique_ptr<TDrawingObject> TRTFShapeObject::drawing() {
    std::string content = groupContent(shprslt);
    TRtfTokenizer t(content);
    try {
        if (t.Read() != TSymType::cLeftBrace || t.Read() != TSymType::ckwAsterisk || t.Read() != TSymType::cKeyWord ||
            t.word != "do")
            return nullptr;
    } catch (const ERtfSourceEnded&) {
        return nullptr;
    }
    TRTFDrawingObjectReader reader(F, status, FFields);
    reader.ReadRTF(t);
    std::unique_ptr<TDrawingObject> obj = reader.result();
    if (!obj) return nullptr;
    obj->TekstBryt = wrapcode != 0 && wrapcode != 3;
    // Property values are EMU; 635 EMU make a twip.
    auto twips = [&](std::string_view name, int& into) {
        const TShapeKeyValuePair* kv = property(name);
        if (!kv) return;
        long long v = 0;
        auto r = std::from_chars(kv->value.data(), kv->value.data() + kv->value.size(), v);
        if (r.ec != std::errc()) return;
        into = static_cast<int>(std::clamp<long long>(v / 635, -MaxCoord, MaxCoord));
    };
    twips("dyWrapDistTop", obj->AvstOver);
    twips("dyWrapDistBottom", obj->AvstUnder);
    if (auto* box = dynamic_cast<TTextBox*>(obj->e.get())) {
        twips("dxTextLeft", box->internmarg.left);
        twips("dyTextTop", box->internmarg.top);
        twips("dxTextRight", box->internmarg.right);
        twips("dyTextBottom", box->internmarg.bottom);
        box->SetWidth(box->fSize.cx);
    }
    return obj;
}

}  // namespace kavelin::rtf
