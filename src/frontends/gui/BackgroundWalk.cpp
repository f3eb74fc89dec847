// The child walk on a worker thread.
#include "gui/BackgroundWalk.h"

#include <chrono>
#include <utility>

#include "core/Failure.h"
#include "items/ItemsReader.h"

namespace {

// How long the UI thread waits for the window's events before it takes over the rows again; the
// end of the walk and its reports wake it at once.
constexpr std::chrono::milliseconds kTakeOverInterval{100};

}  // namespace

BackgroundWalk::~BackgroundWalk() {
    StopAndWait();
}

void BackgroundWalk::StopAndWait() noexcept {
    if (!m_worker.joinable()) {
        return;
    }
    m_stop = true;
    {
        const std::lock_guard lock(m_lock);
        m_abandoned = true;
    }
    m_reported.notify_all();
    m_worker.join();
}

WalkSummary BackgroundWalk::Run(WindowHandle window, const std::function<bool()>& stopRequested) {
    m_worker = std::thread([this, window] {
        WalkSummary summary;
        try {
            WalkOptions options;
            options.keepGoing = [this] { return !m_stop; };
            options.observer = this;
            summary = WalkWindowTree(window, *this, m_windows, *this, options);
            HandOverRow();
        } catch (...) {
            // Nothing may leave a thread's function (it would end the program): the walk reports
            // its own failures, and what escapes it ends only this walk.
        }
        {
            const std::lock_guard lock(m_lock);
            m_summary = summary;
            m_finished = true;
        }
        m_pump.Wake();
    });
    for (;;) {
        m_pump.PumpFor(kTakeOverInterval);
        m_stop = m_stop || stopRequested();
        TakeOver();
        const std::lock_guard lock(m_lock);
        if (m_finished && m_handedRows.rowEnds.empty() && m_handedRows.edits.empty() &&
            m_handedReports.empty()) {
            break;
        }
    }
    m_worker.join();
    return m_summary;
}

void BackgroundWalk::TakeOver() {
    std::vector<Report> reports;
    // Emptied before it goes back, whatever became of the last take.
    m_takenRows.cells.clear();
    m_takenRows.rowEnds.clear();
    m_takenRows.rowDepths.clear();
    m_takenRows.edits.clear();
    {
        const std::lock_guard lock(m_lock);
        std::swap(m_takenRows, m_handedRows);
        reports.swap(m_handedReports);
    }
    std::vector<Text>& cells = m_takenRows.cells;
    std::size_t first = 0;
    for (std::size_t taken = 0; taken < m_takenRows.rowEnds.size(); ++taken) {
        const std::size_t end = m_takenRows.rowEnds[taken];
        const std::size_t row = m_results.AppendRow(std::move(cells[first]));
        m_results.SetDepth(row, m_takenRows.rowDepths[taken]);
        if (m_firstResultsRow == 0) {
            m_firstResultsRow = row;
        }
        for (std::size_t cell = first + 1; cell < end; ++cell) {
            m_results.SetCell(row, static_cast<int>(cell - first), std::move(cells[cell]));
        }
        first = end;
    }
    for (CellEdit& edit : m_takenRows.edits) {
        m_results.SetCell(m_firstResultsRow + edit.row - 1, edit.index, std::move(edit.text));
    }
    for (const Report& report : reports) {
        try {
            m_reporter.ReportFailure(report.location, report.line, report.description);
        } catch (...) {
            // The worker waits until its report is counted as shown: as after any step's report
            // that itself fails, it is counted and the walk goes on.
        }
        {
            const std::lock_guard lock(m_lock);
            ++m_reportsShown;
        }
        m_reported.notify_all();
    }
}

void BackgroundWalk::Clear() {
    throw Failure(u"The results cannot be emptied while a walk fills them.");
}

// A window whose text came in time and whose class may draw its own controls is asked once whether
// it has an accessible tree: the answer is kept for its row's mark.
void BackgroundWalk::WindowWalked(const WalkedWindow& window) {
    m_rowDepth = window.depth;
    if (window.status == TextReadStatus::Read && !m_row.empty() && MayDrawOwnControls(m_row[0])) {
        static_cast<void>(m_items.AccessibleChildCount(window.window));
    }
}

std::size_t BackgroundWalk::AppendRow(Text firstCell) {
    HandOverRow();
    m_row.push_back(std::move(firstCell));
    return ++m_rowsAppended;
}

void BackgroundWalk::SetCell(std::size_t row, int index, Text text) {
    if (row == 0 || row > m_rowsAppended || index < 1) {
        throw Failure(u"Only the cells of the rows read so far can be set.");
    }
    if (row != m_rowsAppended || m_row.empty()) {
        const std::lock_guard lock(m_lock);
        m_handedRows.edits.push_back({row, index, std::move(text)});
        return;
    }
    if (m_row.size() <= static_cast<std::size_t>(index)) {
        m_row.resize(static_cast<std::size_t>(index) + 1);
    }
    m_row[static_cast<std::size_t>(index)] = std::move(text);
}

void BackgroundWalk::HandOverRow() {
    if (m_row.empty()) {
        return;
    }
    const std::lock_guard lock(m_lock);
    for (Text& cell : m_row) {
        m_handedRows.cells.push_back(std::move(cell));
    }
    m_handedRows.rowEnds.push_back(m_handedRows.cells.size());
    m_handedRows.rowDepths.push_back(m_rowDepth);
    m_row.clear();
    m_rowDepth = 0;
}

// The report waits for the UI thread to show it, so that the walk goes on only once it is
// closed, as every numbered step does.
void BackgroundWalk::ReportFailure(TextView location, int line, const Text& description) {
    std::unique_lock lock(m_lock);
    m_handedReports.push_back({location, line, description});
    const std::size_t ticket = ++m_reportsHanded;
    m_pump.Wake();
    m_reported.wait(lock, [&] { return m_reportsShown >= ticket || m_abandoned; });
}
