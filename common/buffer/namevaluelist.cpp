#include "common/buffer/namevaluelist.h"

#include <algorithm>

namespace kavelin {

TNameAndValueList::TNameAndValueList(int capacity) { FItems.reserve(size_t(std::max(capacity, 1))); }

int TNameAndValueList::add(std::u16string_view fldName, std::u16string_view fldValue) {
    FItems.push_back({std::u16string(fldName), std::u16string(fldValue)});
    return count() - 1;
}

std::u16string TNameAndValueList::getValueByID(std::u16string_view fldName) const {
    for (const auto& item : FItems)
        if (item.id == fldName) return item.value;
    return {};
}

void TNameAndValueList::putBookMarkOnLastItem() { FBookMarks.push_back({count() - 1, {}, {}}); }

void TNameAndValueList::putBookmarkTags(int iBookmark, std::u16string_view t1, std::u16string_view t2) {
    auto& mark = FBookMarks.at(size_t(iBookmark));
    mark.tag1 = t1;
    mark.tag2 = t2;
}

}  // namespace kavelin
