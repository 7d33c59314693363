#include "twds/ProblemText.h"

#include "twds/DisplayCommand.h"
#include "twds/ListingText.h"
#include "twds/StatusMessages.h"

namespace twds {

std::string_view SeverityKeyword(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

std::string SeverityName(Severity severity, const MessageLookup& lookup) {
    switch (severity) {
        case Severity::Error:
            return lookup(message::kSeverityError, {});
        case Severity::Warning:
            return lookup(message::kSeverityWarning, {});
        case Severity::Note:
            break;
    }
    return lookup(message::kSeverityNote, {});
}

std::string ProblemMessage(const Problem& problem, const MessageLookup& lookup) {
    const auto& values = problem.values;
    if (problem.detailId != 0) {
        return lookup(problem.messageId, {values[0], lookup(problem.detailId, {}), values[2]});
    }
    if (problem.messageId == message::kProblemPageFailed ||
        problem.messageId == message::kProblemConnectFailed) {
        // The host link's text, as the status line shows it.
        const std::size_t reason = problem.messageId == message::kProblemPageFailed ? 2 : 1;
        std::array<std::string, 3> shown = values;
        shown[reason] = DescribeLastError(values[reason], lookup);
        return lookup(problem.messageId, {shown[0], shown[1], shown[2]});
    }
    return lookup(problem.messageId, {values[0], values[1], values[2]});
}

std::string_view ProblemFile(const DisplayCommand& display, const Problem& problem) {
    const auto& ficIDs = display.ficIDs();
    if (problem.fileNumber <= 0 || static_cast<std::size_t>(problem.fileNumber) > ficIDs.size()) {
        return {};
    }
    return ficIDs[static_cast<std::size_t>(problem.fileNumber) - 1];
}

std::string_view ProblemListName(const Problem& problem) {
    return problem.pageKind == 0 ? std::string_view() : PageListName(problem.pageKind);
}

std::string ProblemLine(const DisplayCommand& display, const Problem& problem,
                        const MessageLookup& lookup) {
    const std::string row =
        problem.row == Problem::kNoRow ? std::string() : std::to_string(problem.row + 1);
    return ListingLine({SeverityKeyword(problem.severity), ProblemListName(problem),
                        ProblemFile(display, problem), row, problem.label,
                        ProblemMessage(problem, lookup)});
}

std::string ProblemsSummary(const ProblemList& problems, const MessageLookup& lookup) {
    if (problems.empty()) {
        return {};
    }
    return lookup(message::kProblemsStatus, {std::to_string(problems.size()),
                                             SeverityName(HighestSeverity(problems), lookup)});
}

}  // namespace twds
