// Group parsers: each reads exactly one RTF group; a parser that meets a
// sub-group it knows creates a specialised parser that reads that group to
// its closing brace. Here are the base parsers and the readers of the
// document's header groups (fonts, colours, information, pictures).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/rtf/document.h"
#include "app/rtf/graphics.h"
#include "app/rtf/rtftokenizer.h"

namespace kavelin::rtf {

// Reading stopped on purpose ("Meta Only").
class ERTFBreak : public std::runtime_error {
public:
    ERTFBreak() : std::runtime_error("Meta Only") {}
};

// Errors of the reader ("No RTF.", "Ikke implementert!").
class ERtfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The byte a special control symbol or word stands for ("'e6", "{", "bullet", ...);
// -1 when the token is not one, -2 when it stands for nothing.
int specialSymbol(const TRtfTokenizer& t);

class TRtfParser {
public:
    virtual ~TRtfParser() = default;
    bool notrlat = false;  // do not translate special symbols into text

    // Reads up to and including the end of the current group; its closing
    // brace is left for the enclosing parser.
    void ReadRTF(TRtfTokenizer& t);

protected:
    virtual void DefaultToken(TRtfTokenizer& t) {}
    virtual void OpenBrace(TRtfTokenizer& t) { DefaultToken(t); }
    virtual bool BeginGroupHandler(TRtfTokenizer& t, bool star) { return false; }
    virtual void OwnGroupEnd(TRtfTokenizer& t) {}
    virtual bool CtrlWordHandler(TRtfTokenizer& t) { return false; }
    virtual void CloseBrace(TRtfTokenizer& t) {}
    virtual void TextHandler(TRtfTokenizer& t, unsigned char byte) {}
};

// Reads and discards a group.
void skipGroup(TRtfTokenizer& t);

class TRtfGroupParser : public TRtfParser {
public:
    bool IncludeStarredGroups = false;

protected:
    void OpenBrace(TRtfTokenizer& t) override;
};

// Copies the raw bytes of a group (from its opening brace when given).
class TRtfCopier : public TRtfParser {
public:
    TRtfCopier() { notrlat = true; }
    std::string outstrm;

protected:
    void DefaultToken(TRtfTokenizer& t) override { outstrm += t.raw(); }
    void OpenBrace(TRtfTokenizer& t) override { outstrm += t.raw(); }
    bool CtrlWordHandler(TRtfTokenizer& t) override {
        outstrm += t.raw();
        return true;
    }
    void CloseBrace(TRtfTokenizer& t) override { outstrm += t.raw(); }
    void TextHandler(TRtfTokenizer& t, unsigned char) override { outstrm += t.raw(); }
};

// Copies a whole group, braces included, after its "{" has been read.
std::string copyGroup(TRtfTokenizer& t, std::string_view opening);
// The contents of a group written "{\word ...}" or "{\*\word ...}".
std::string groupContent(std::string_view group);
// Reads the token after a "{", stepping over a "\*" and telling whether
// there was one; false when the source ends there.
bool readGroupStart(TRtfTokenizer& t, TSymType& s, bool& star);

// The concatenated text of a group.
class TRtfString : public TRtfGroupParser {
public:
    std::string s;

protected:
    void TextHandler(TRtfTokenizer&, unsigned char b) override { s.push_back(static_cast<char>(b)); }
};

class TRtfTime : public TRtfGroupParser {
public:
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // Days since 30 December 1899 with the time as fraction; -1 when invalid.
    double value() const;

protected:
    bool CtrlWordHandler(TRtfTokenizer& t) override;
};

class TColorTableParser : public TRtfGroupParser {
public:
    int red = 0, green = 0, blue = 0;
    std::vector<TColor> colors;
    TColor getColor(int index) const;
    int Add(TColor c);

protected:
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char b) override;
};

struct TRtfFontInfo {
    std::u16string Name;
    std::u16string AltName;
    std::string Family = "fnil";
    int FCharset = 0;
    int fprq = 0;
    std::string panose;
};

class TFontList {
public:
    // The font of an RTF font number (an unknown number gets an empty entry).
    TRtfFontInfo& getDef(int index);
    const TRtfFontInfo* find(int index) const;
    std::vector<int> fontTableIndexes() const;

private:
    struct TFontTableItem {
        TRtfFontInfo fontInfo;
        int fontTableIndex;
    };
    std::vector<TFontTableItem> items;
};

class TRtfFontTableReader : public TRtfGroupParser {
public:
    explicit TRtfFontTableReader(TFontList& list) : fonts(list) {}

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char b) override;

private:
    TFontList& fonts;
    int number = 0;
    TRtfFontInfo current;
    std::string name;
};

class TInfoGroupParser : public TRtfGroupParser {
public:
    TDocInfoRec data;

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
};

class TRtfPictReader : public TRtfGroupParser {
public:
    std::string source;  // "EMF", "PNG", "JPG", "MAC", "OMF", "WMF", "DIB", "BMP"
    int subtype = 0;
    int wbmbitsperpixel = 0, wbmplanes = 0, wbmwidthbytes = 0;
    TSize Size, Goal;
    int scaleX = 100, scaleY = 100;
    TCrop Crop;
    bool picbmp = false;
    int picbpp = 0;
    std::vector<unsigned char> data;

    // The picture to show, or null for kinds that are not kept.
    std::unique_ptr<TPrintablePicture> makePicture() const;

protected:
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    void TextHandler(TRtfTokenizer& t, unsigned char b) override;

private:
    int nibble = -1;
};

// File-level settings shared by the readers of one file.
struct TRtfFileSettings {
    std::string CharSet = "ansi";
    int AnsiCpg = 1252;
    int defaultFontInx = 0;
    int deflang = 1044;
    int deflangfe = 1033;
    int defaultTab = 720;
    bool WidowCtrl = false;
    TColorTableParser colorTable;
    TFontList fontList;
    TDocInfoRec info;
    bool fonttbl_lest = false;
};

// Reader of file-level words and destinations.
class TRtfFileParser : public TRtfGroupParser {
public:
    explicit TRtfFileParser(TRtfFileSettings& settings) : F(settings) {}
    TRtfFileSettings& F;

    // Checks the "{\rtf" start and reads the rest of the file.
    void LoadRTFDocument(TRtfTokenizer& t);
    // Rebuilds a complete RTF file around a body copied from another document.
    std::string WriteToStream(std::string_view body) const;

protected:
    bool BeginGroupHandler(TRtfTokenizer& t, bool star) override;
    bool CtrlWordHandler(TRtfTokenizer& t) override;
    virtual void DoOnUserProps(TRtfTokenizer& t) { skipGroup(t); }
};

}  // namespace kavelin::rtf
