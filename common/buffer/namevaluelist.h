// Name/value pairs in the order added (names may repeat), with bookmarks
// that mark where segments of the list begin.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelin {

struct TNameAndValueItem {
    std::u16string id;
    std::u16string value;
};

struct TNameAndValueBookMark {
    int atIndex = -1;  // index of the item that starts the marked segment
    std::u16string tag1;
    std::u16string tag2;
};

// Positions outside the current counts throw std::out_of_range.
class TNameAndValueList {
public:
    explicit TNameAndValueList(int capacity = 100);

    int add(std::u16string_view fldName, std::u16string_view fldValue);  // new index
    int count() const { return int(FItems.size()); }

    // Value of the first item named exactly fldName; empty when none.
    std::u16string getValueByID(std::u16string_view fldName) const;
    const TNameAndValueItem& getItem(int inx) const { return FItems.at(size_t(inx)); }
    const std::u16string& getName(int inx) const { return getItem(inx).id; }
    const std::u16string& getValueFromIndex(int inx) const { return getItem(inx).value; }

    void putBookMarkOnLastItem();  // at the last item, tags empty
    void putBookmarkTags(int iBookmark, std::u16string_view t1, std::u16string_view t2);
    const TNameAndValueBookMark& getBookmark(int iMark) const { return FBookMarks.at(size_t(iMark)); }
    int bookmarkCount() const { return int(FBookMarks.size()); }
    int bookMarkLastIndex() const { return bookmarkCount() - 1; }

private:
    std::vector<TNameAndValueItem> FItems;
    std::vector<TNameAndValueBookMark> FBookMarks;
};

}  // namespace kavelin
