// The child walk on a worker thread, so that its window messages do not wait on the UI thread's
// own window traffic and the window answers the user all along. Rows reach the results on the UI
// thread as they come, each with its window's depth in the tree, and so do the cells the walk sets
// again in rows handed over before; a step that fails is reported there, in order, and the walk
// goes on once the report is closed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/Reporter.h"
#include "core/RowSink.h"
#include "core/RowTable.h"
#include "extraction/ChildWalk.h"
#include "ports/EventPump.h"
#include "ports/RemoteItems.h"
#include "ports/WindowSystem.h"

// The ports the walk asks, on its worker thread: the window tree, and the windows that may draw
// their own controls whether they have an accessible tree, so that their rows can be marked.
struct WalkPorts {
    WindowSystem& windows;
    RemoteItems& items;
};

class BackgroundWalk : private RowSink, private Reporter, private WalkObserver {
public:
    BackgroundWalk(RowTable& results, WalkPorts ports, Reporter& reporter, EventPump& pump) noexcept
        : m_results(results),
          m_windows(ports.windows),
          m_items(ports.items),
          m_reporter(reporter),
          m_pump(pump) {}
    // A walk still running (the program is ending) is stopped and waited for.
    ~BackgroundWalk();
    BackgroundWalk(const BackgroundWalk&) = delete;
    BackgroundWalk& operator=(const BackgroundWalk&) = delete;

    // Walks window's tree to its end, or until stopRequested answers true, letting events
    // through meanwhile; answers what the walk missed.
    WalkSummary Run(WindowHandle window, const std::function<bool()>& stopRequested);

private:
    struct Report {
        TextView location;
        int line = 0;
        Text description;
    };

    // The worker's side: rows and reports, handed over under the lock.
    void Clear() override;
    std::size_t AppendRow(Text firstCell) override;
    void SetCell(std::size_t row, int index, Text text) override;
    void ReportFailure(TextView location, int line, const Text& description) override;
    // The depth of the row being filled, which is complete when its window is told.
    void WindowWalked(const WalkedWindow& window) override;
    void WindowReadAgain(const WalkedWindow&) override {}
    // Hands the row being filled over to the UI thread.
    void HandOverRow();

    // The UI thread's side: the rows and reports handed over so far.
    void TakeOver();
    void StopAndWait() noexcept;

    RowTable& m_results;
    WindowSystem& m_windows;
    RemoteItems& m_items;
    Reporter& m_reporter;
    EventPump& m_pump;
    std::thread m_worker;
    std::atomic<bool> m_stop{false};

    // Only the worker touches the row it is filling; its cells move on, its room stays.
    std::vector<Text> m_row;
    int m_rowDepth = 0;
    std::size_t m_rowsAppended = 0;

    // A cell of a row handed over before, set again; row counts the walk's rows from 1.
    struct CellEdit {
        std::size_t row = 0;
        int index = 0;
        Text text;
    };

    // Rows go over as one run of cells and the end and depth of each row's cells in it, so that
    // a row costs no allocation of its own; the UI thread swaps in the run it emptied last time.
    // Cell edits go after the rows they follow.
    struct HandedRows {
        std::vector<Text> cells;
        std::vector<std::size_t> rowEnds;
        std::vector<int> rowDepths;
        std::vector<CellEdit> edits;
    };

    std::mutex m_lock;
    std::condition_variable m_reported;
    HandedRows m_handedRows;
    HandedRows m_takenRows;
    // The UI thread's: the results row of the walk's first row, once it is there.
    std::size_t m_firstResultsRow = 0;
    std::vector<Report> m_handedReports;
    std::size_t m_reportsShown = 0;
    std::size_t m_reportsHanded = 0;
    bool m_finished = false;
    bool m_abandoned = false;
    WalkSummary m_summary;
};
