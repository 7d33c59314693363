// The ordinary Qt way of showing the same rows, for comparison with the
// viewer's Display: one QTreeWidgetItem per row in a QTreeWidget, or one
// QStandardItem per cell of a QStandardItemModel in a QTreeView. As the
// lists need, every row's key is looked up in a QHash<QString, ...> of the
// list's keys before the row is added.
//
// Each iteration does what a Display does: empty the five lists, retrieve and
// decode every page (with the viewer's own host link and decoders, into a
// scratch DisplayCommand), add the rows to the widgets, select the CX tab and
// let the window process the events that this posted. The fill_s counter is
// the time spent adding the rows alone.
//
//   twds_bench_baselines [--benchmark_*...] --store DIR --work DIR --name NAME
//                        [--label L]

#include <array>
#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QHash>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include "BenchOptions.h"
#include "BenchProgram.h"
#include "ProcessMemory.h"
#include "twds/CommandLine.h"
#include "twds/Cp1252.h"
#include "twds/DisplayCommand.h"
#include "twds/PageLists.h"
#include "twds/ViewerEnvironment.h"

namespace {

using twds::bench::BenchOptions;
using twds::bench::kMiB;
using Clock = std::chrono::steady_clock;

constexpr int kLists = static_cast<int>(twds::kPageListCount);
constexpr int kTabCX = twds::InfoOf(twds::PageList::CX).tab;

BenchOptions gOptions;
std::unique_ptr<twds::ViewerEnvironment> gEnvironment;

// Retrieves and decodes the user space into a fresh command's lists.
std::unique_ptr<twds::DisplayCommand> RunDisplay() {
    auto display =
        std::make_unique<twds::DisplayCommand>(gEnvironment->hostLink(), gEnvironment->labels());
    display->address = gOptions.address;
    display->userSpaceName = gOptions.name;
    if (display->run().stage != twds::DisplayOutcome::Stage::Completed) {
        throw std::runtime_error("The Display of " + gOptions.name + " did not complete.");
    }
    return display;
}

std::array<const twds::FieldList*, kLists> ListsOf(const twds::DisplayCommand& display) {
    std::array<const twds::FieldList*, kLists> lists{};
    for (const twds::PageListInfo& info : twds::kPageLists) {
        lists[static_cast<std::size_t>(info.list)] = &display.list(info.list);
    }
    return lists;
}

// Fills the five lists row by row the ordinary way: before each row its key is
// looked up among the list's keys, as the lists require. addRow(i, list, row)
// creates the row's item(s) in list i and returns the one its key points to.
template <typename Item, typename AddRow>
std::size_t FillRows(const twds::DisplayCommand& display,
                     std::array<QHash<QString, Item*>, kLists>& keys, AddRow addRow) {
    std::size_t rows = 0;
    const auto lists = ListsOf(display);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const twds::FieldList& list = *lists[i];
        for (std::size_t row = 0; row < list.rowCount(); ++row) {
            const QString key = twds::Cp1252ToQString(list.key(row));
            if (keys[i].contains(key)) {
                break;  // a duplicate key ends the list, as it ends a Display
            }
            keys[i].insert(key, addRow(i, list, row));
            ++rows;
        }
    }
    return rows;
}

// An Info tab and the five list tabs, shown, as in the viewer's window.
class TabbedLists {
public:
    template <typename MakeView>
    explicit TabbedLists(MakeView makeView) {
        tabs.addTab(new QWidget(&tabs), QStringLiteral("Info"));
        for (int i = 0; i < kLists; ++i) {
            tabs.addTab(makeView(i), QStringLiteral("List %1").arg(i + 1));
        }
        tabs.resize(800, 600);
        tabs.show();
        QCoreApplication::processEvents();
    }
    QTabWidget tabs;
};

void SetCounters(benchmark::State& state, std::size_t rows, double fillSeconds) {
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["fill_s"] = benchmark::Counter(fillSeconds, benchmark::Counter::kAvgIterations);
    state.counters["peak_rss_MiB"] = static_cast<double>(twds::bench::PeakResidentBytes()) / kMiB;
}

void BM_QTreeWidget(benchmark::State& state) {
    std::array<QTreeWidget*, kLists> trees{};
    TabbedLists window([&](int i) {
        auto* tree = new QTreeWidget;
        tree->setColumnCount(2);
        tree->setHeaderLabels({QStringLiteral("Field name"), QStringLiteral("Data")});
        tree->setRootIsDecorated(false);
        trees[static_cast<std::size_t>(i)] = tree;
        return tree;
    });
    std::array<QHash<QString, QTreeWidgetItem*>, kLists> keys;
    std::size_t rows = 0;
    double fillSeconds = 0;
    for (auto _ : state) {
        for (int i = 0; i < kLists; ++i) {
            trees[static_cast<std::size_t>(i)]->clear();
            keys[static_cast<std::size_t>(i)].clear();
        }
        const std::unique_ptr<twds::DisplayCommand> display = RunDisplay();
        const auto start = Clock::now();
        rows = FillRows(*display, keys,
                        [&](std::size_t i, const twds::FieldList& list, std::size_t row) {
                            return new QTreeWidgetItem(
                                trees[i], QStringList{twds::Cp1252ToQString(list.text(row)),
                                                      twds::Cp1252ToQString(list.value(row))});
                        });
        fillSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        window.tabs.setCurrentIndex(kTabCX);
        QCoreApplication::processEvents();
    }
    SetCounters(state, rows, fillSeconds);
}

void BM_QStandardItemModel(benchmark::State& state) {
    std::array<QStandardItemModel, kLists> models;
    TabbedLists window([&](int i) {
        auto* view = new QTreeView;
        view->setRootIsDecorated(false);
        view->setModel(&models[static_cast<std::size_t>(i)]);
        return view;
    });
    std::array<QHash<QString, QStandardItem*>, kLists> keys;
    std::size_t rows = 0;
    double fillSeconds = 0;
    for (auto _ : state) {
        for (int i = 0; i < kLists; ++i) {
            auto& model = models[static_cast<std::size_t>(i)];
            model.clear();
            model.setHorizontalHeaderLabels({QStringLiteral("Field name"), QStringLiteral("Data")});
            keys[static_cast<std::size_t>(i)].clear();
        }
        const std::unique_ptr<twds::DisplayCommand> display = RunDisplay();
        const auto start = Clock::now();
        rows = FillRows(*display, keys,
                        [&](std::size_t i, const twds::FieldList& list, std::size_t row) {
                            auto* label = new QStandardItem(twds::Cp1252ToQString(list.text(row)));
                            auto* value = new QStandardItem(twds::Cp1252ToQString(list.value(row)));
                            models[i].appendRow({label, value});
                            return label;
                        });
        fillSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        window.tabs.setCurrentIndex(kTabCX);
        QCoreApplication::processEvents();
    }
    SetCounters(state, rows, fillSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    return twds::bench::RunBenchmarkProgram(
        argc, argv, "twds_bench_baselines", [&](const twds::bench::BenchOptions& options) {
            gOptions = options;
            QApplication app(argc, argv);
            twds::CommandLine commandLine;
            commandLine.store = gOptions.store.string();
            gEnvironment = std::make_unique<twds::ViewerEnvironment>(
                commandLine, [](const std::string& title, const std::string& text) {
                    std::cerr << title << ": " << text << '\n';
                });
            const std::string size = "/" + gOptions.label;
            benchmark::RegisterBenchmark(("Baseline" + size + "/QTreeWidget").c_str(),
                                         BM_QTreeWidget)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("Baseline" + size + "/QStandardItemModel").c_str(),
                                         BM_QStandardItemModel)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RunSpecifiedBenchmarks();
            gEnvironment.reset();
        });
}
