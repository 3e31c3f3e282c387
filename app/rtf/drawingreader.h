// Readers of drawing objects ("do" groups) and shapes ("shp" groups).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/rtf/drawing.h"
#include "app/rtf/rtfdocparser.h"

namespace kavelin::rtf {

class TRTFDrawingObjectReader : public TRtfGroupParser {
public:
    // Text boxes are read with the file's settings, starting from status.
    TRTFDrawingObjectReader(TRtfFileSettings& settings, const TStackableStatus& status,
                            TFieldComputer* fields = nullptr);
    ~TRTFDrawingObjectReader() override;

    // The object built from what was read; null when no graphic was read.
    std::unique_ptr<TDrawingObject> result();

    int dodhgt = 0;
    bool dolock = false;

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;

private:
    void add(std::unique_ptr<TRectGraphic> g, int kind);
    std::unique_ptr<TRectGraphic> build(size_t& i, int depth);

    TRtfFileSettings& F;
    TStackableStatus fCurrstatus;
    TFieldComputer* FFields;
    std::vector<std::unique_ptr<TRectGraphic>> glist;
    std::vector<int> kinds;
    size_t pti = 0;
    size_t polycount = 2;
    TTextBox dummygr;
    TRectGraphic* defdrwng = &dummygr;
    int graphicstype = -1;
    TRect tmprect;
    THorReference hor = THorReference::haColumn;
    TVertReference vert = TVertReference::vaPara;
};

struct TShapeKeyValuePair {
    std::string name;
    std::string value;
};

class TRTFShapeObject : public TRtfGroupParser {
public:
    TRTFShapeObject(TRtfFileSettings& settings, const TStackableStatus& status, TFieldComputer* fields = nullptr);

    TRect r0;
    std::vector<TShapeKeyValuePair> m0;
    std::string shprslt;  // the result part, verbatim
    int wrapcode = -1;    // -1: not given

    // The drawing object of the result part's "do" group, with the shape's
    // wrapping and margins; null when the result holds no drawing.
    std::unique_ptr<TDrawingObject> drawing();

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;

private:
    const TShapeKeyValuePair* property(std::string_view name) const;

    TRtfFileSettings& F;
    TStackableStatus status;
    TFieldComputer* FFields;
};

}  // namespace kavelin::rtf
