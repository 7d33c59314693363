// The Display's own checks: what the decoders cannot see because it needs
// more than one page, or steers the requests. Each costs a few comparisons a
// page; a problem is made only when something is wrong.

#include <algorithm>

#include "twds/DisplayCommand.h"
#include "twds/Messages.h"
#include "twds/PageLayout.h"
#include "twds/Trim.h"

namespace twds {

namespace {

// The row of field `index` of file n's FC page, which the entry heading
// opens.
std::size_t FcRow(std::size_t firstRow, int index) {
    return firstRow + 1 + static_cast<std::size_t>(index);
}

std::string Text(std::int64_t number) {
    return std::to_string(number);
}

}  // namespace

void DisplayCommand::addProblem(Severity severity, PageList which, std::size_t row, int messageId,
                                std::string first, std::string second) {
    Problem& problem = problems_.emplace_back();
    problem.severity = severity;
    problem.pageKind = InfoOf(which).kind;
    problem.fileNumber = current_.fileNumber;
    problem.row = row;
    if (row != Problem::kNoRow) {
        problem.label = list(which).text(row);
    }
    problem.messageId = messageId;
    problem.values = {std::move(first), std::move(second), {}};
}

void DisplayCommand::stampFile(std::size_t first) {
    for (std::size_t i = first; i < problems_.size(); ++i) {
        problems_[i].fileNumber = current_.fileNumber;
    }
}

void DisplayCommand::checkGcNumbers() {
    const auto row = [](int index) { return static_cast<std::size_t>(index); };
    if (kept.fileCount < 0) {
        addProblem(Severity::Warning, PageList::GC, row(layout::kGCNbrOfFC),
                   message::kProblemNegativeCount, Text(kept.fileCount));
    }
    if (kept.endOffset < 0) {
        addProblem(Severity::Warning, PageList::GC, row(layout::kGCEndTwOffset),
                   message::kProblemNegativeOffset, Text(kept.endOffset), "E");
    } else if (const std::int64_t wanted = std::int64_t{kept.endOffset} + layout::kEndTwBase;
               kept.endOffset > 0 && wanted > kMaxPagePosition) {
        addProblem(Severity::Warning, PageList::GC, row(layout::kGCEndTwOffset),
                   message::kProblemPositionWrapped, "E", Text(wanted));
        problems_.back().values[2] = Text(wanted % (kMaxPagePosition + 1));
    }
}

void DisplayCommand::checkEndTw(std::string_view endPage) {
    const auto row = static_cast<std::size_t>(layout::kGCEndTwLength);
    if (kept.endOffset <= 0) {
        if (kept.endLength > 0) {
            addProblem(Severity::Note, PageList::GC, row, message::kProblemEndTwWithoutPage,
                       Text(kept.endLength), Text(kept.endOffset));
        }
        return;
    }
    // The page's text without the blanks that pad it: what END_TW length
    // should count. A length longer than the text is blanks; shorter is not.
    const std::size_t received = endPage.find_last_not_of(' ') + 1;
    if (kept.endLength <= 0) {
        if (!endTwText.empty()) {
            addProblem(Severity::Note, PageList::GC, row, message::kProblemEndTwNotExported,
                       Text(kept.endLength));
        }
    } else if (static_cast<std::size_t>(kept.endLength) < received ||
               static_cast<std::size_t>(kept.endLength) > endPage.size()) {
        addProblem(Severity::Note, PageList::GC, row, message::kProblemEndTwLength,
                   Text(kept.endLength), Text(static_cast<std::int64_t>(received)));
    }
}

int DisplayCommand::earlierFileOf(int n) {
    const std::string& ficID = ficIDs_[static_cast<std::size_t>(n) - 1];
    if (Trim(ficID).empty()) {
        return -1;
    }
    const auto [known, added] = fileOfFicID_.try_emplace(ficID, n);
    return added ? 0 : known->second;
}

void DisplayCommand::checkFile(int n, int earlier, std::int32_t position) {
    const std::size_t first = pages_[static_cast<std::size_t>(PageList::FC)].back().firstRow;
    if (earlier < 0) {
        addProblem(Severity::Error, PageList::FC, first, message::kProblemBlankFicID, Text(n));
    } else if (earlier > 0) {
        addProblem(Severity::Error, PageList::FC, first, message::kProblemRepeatedFicID,
                   ficIDs_[static_cast<std::size_t>(n) - 1], Text(earlier));
    }
    if (kept.zcCount < 0) {
        addProblem(Severity::Warning, PageList::FC, FcRow(first, layout::kFCNumberOfZC),
                   message::kProblemNegativeCount, Text(kept.zcCount));
    }
    const std::size_t insertRow = FcRow(first, layout::kFCOffsetOfInsert);
    if (kept.insertOffset < 0) {
        addProblem(Severity::Warning, PageList::FC, insertRow, message::kProblemNegativeOffset,
                   Text(kept.insertOffset), "S");
    } else if (const std::int64_t wanted = std::int64_t{position} + kept.insertOffset;
               kept.insertOffset > 0 && wanted > kMaxPagePosition) {
        addProblem(Severity::Warning, PageList::FC, insertRow, message::kProblemPositionWrapped,
                   "S", Text(wanted));
        problems_.back().values[2] = Text(wanted % (kMaxPagePosition + 1));
    }
}

}  // namespace twds
