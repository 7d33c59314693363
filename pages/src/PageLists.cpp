#include "twds/PageLists.h"

namespace twds {

std::optional<PageList> PageListOfKind(char kind) {
    for (const PageListInfo& info : kPageLists) {
        if (info.kind == kind) {
            return info.list;
        }
    }
    return std::nullopt;
}

}  // namespace twds
