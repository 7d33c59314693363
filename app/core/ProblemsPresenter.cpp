#include "twds/ProblemsPresenter.h"

#include <algorithm>
#include <numeric>

#include "twds/DisplayCommand.h"
#include "twds/MainWindowPresenter.h"
#include "twds/ProblemText.h"

namespace twds {

namespace {

constexpr std::array<int, ProblemsPresenter::kColumnCount> kCaptions{
    message::kProblemsSeverity, message::kProblemsList,  message::kProblemsFile,
    message::kProblemsRow,      message::kProblemsLabel, message::kProblemsMessage};

// A list's place among the tabs; End_TW after the lists, no list first.
int TabOf(char kind) {
    if (kind == 'E') {
        return form::kEndTwTab;
    }
    const std::optional<PageList> list = PageListOfKind(kind);
    return list ? InfoOf(*list).tab : form::kInfoTab;
}

}  // namespace

ProblemsPresenter::ProblemsPresenter(ProblemsView& view, MainWindowPresenter& window,
                                     const DisplayCommand& display, MessageLookup messages)
    : view_(view), window_(window), display_(display), messages_(std::move(messages)) {}

void ProblemsPresenter::displayed() {
    const ProblemList& problems = display_.problems();
    order_.resize(problems.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    if (problems.empty()) {
        view_.showProblemsMark(std::nullopt, {});
    } else {
        view_.showProblemsMark(HighestSeverity(problems), ProblemsSummary(problems, messages_));
    }
    view_.problemsChanged();
}

void ProblemsPresenter::toggle() {
    open_ = !open_;
    view_.showProblemsPane(open_);
}

void ProblemsPresenter::close() {
    if (open_) {
        toggle();
    }
}

const Problem& ProblemsPresenter::problemAt(std::size_t line) const {
    return display_.problems().at(order_.at(line));
}

Severity ProblemsPresenter::severity(std::size_t line) const {
    return problemAt(line).severity;
}

std::string ProblemsPresenter::cellText(std::size_t line, int column) const {
    const Problem& problem = problemAt(line);
    switch (column) {
        case kSeverity:
            return SeverityName(problem.severity, messages_);
        case kList:
            return std::string(ProblemListName(problem));
        case kFile:
            return std::string(ProblemFile(display_, problem));
        case kRow:
            return problem.row == Problem::kNoRow ? std::string() : std::to_string(problem.row + 1);
        case kLabel:
            return problem.label;
        case kMessage:
            return ProblemMessage(problem, messages_);
        default:
            return {};
    }
}

std::string ProblemsPresenter::columnCaption(int column) const {
    return column >= 0 && column < kColumnCount
               ? messages_(kCaptions[static_cast<std::size_t>(column)], {})
               : std::string();
}

std::string ProblemsPresenter::title() const {
    return messages_(message::kProblemsTitle, {});
}

std::string ProblemsPresenter::commandCaption() const {
    return messages_(message::kProblemsCommand, {});
}

void ProblemsPresenter::sortBy(int column, bool ascending) {
    const ProblemList& problems = display_.problems();
    // The Display's order first, so that ties keep it.
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    const auto before = [&](std::size_t a, std::size_t b) {
        const Problem& x = problems[a];
        const Problem& y = problems[b];
        switch (column) {
            case kSeverity:
                return x.severity > y.severity;
            case kList:
                return TabOf(x.pageKind) < TabOf(y.pageKind);
            case kFile:
                return x.fileNumber < y.fileNumber;
            case kRow:
                // Problems of no row after those of a row.
                return x.row < y.row;
            case kLabel:
                return x.label < y.label;
            case kMessage:
                return ProblemMessage(x, messages_) < ProblemMessage(y, messages_);
            default:
                return false;
        }
    };
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? before(a, b) : before(b, a);
    });
    view_.problemsChanged();
}

void ProblemsPresenter::activate(std::size_t line) {
    if (line >= order_.size()) {
        return;
    }
    const Problem& problem = problemAt(line);
    const std::optional<PageList> list = PageListOfKind(problem.pageKind);
    if (list && problem.row < display_.list(*list).rowCount()) {
        view_.showListRow(*list, problem.row);
        window_.rowClicked(*list, problem.row);
        return;
    }
    view_.selectTab(TabOf(problem.pageKind));
}

}  // namespace twds
