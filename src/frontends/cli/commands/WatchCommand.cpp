// The watch command: a window's tree as dump's JSON Lines write it, then a line for each change as
// it is seen, until the tree's window closes or another end comes; its options and help.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/DumpWalk.h"
#include "cli/commands/CommandTable.h"
#include "core/Failure.h"
#include "documents/DumpWriters.h"
#include "documents/JsonText.h"
#include "documents/Output.h"
#include "documents/Snapshot.h"

namespace {

// When the system tells of every kind of change, the whole tree is still read again this many
// intervals apart, for what its events may miss.
constexpr int kIntervalsBetweenSafetyReads = 20;

using Clock = std::chrono::steady_clock;

// The time now as ISO 8601 in UTC, to the millisecond: "2026-12-08T12:30:05.123Z".
std::string UtcTimeText() {
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch = now.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds).count();
    const std::time_t time = static_cast<std::time_t>(seconds.count());
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &time);
#else
    gmtime_r(&time, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(milliseconds));
    return std::string(text) + fraction;
}

// The windows a walk hands on, as snapshot entries placed in the watched tree: the walk's first
// window at depth, below parent. With lines, each is written too, as dump's JSON Lines write it.
class SnapshotCollector final : public DumpWriter {
public:
    SnapshotCollector(Snapshot& into, int depth, WindowHandle parent, DumpWriter* lines) noexcept
        : m_into(into), m_depth(depth), m_parent(parent), m_lines(lines) {}

    void Window(const DumpedWindow& window) override {
        if (m_lines != nullptr) {
            m_lines->Window(window);
        }
        if (window.status == WindowStatus::Gone) {
            return;
        }
        SnapshotWindow entry = SnapshotWindowOf(WindowObject(window));
        entry.depth += m_depth;
        entry.members["depth"] = entry.depth;
        if (window.depth == 0 && m_depth != 0) {
            entry.parent = m_parent;
            entry.members["parent"] = m_parent;
        }
        m_into.push_back(std::move(entry));
    }
    void End(const DumpTally&) override {}

private:
    Snapshot& m_into;
    int m_depth;
    WindowHandle m_parent;
    DumpWriter* m_lines;
};

class Watcher {
public:
    Watcher(const WatchRequest& request, CliServices& services, Reporter& reporter, Output& output,
            WindowEvents& events)
        : m_request(request),
          m_services(services),
          m_reporter(reporter),
          m_output(output),
          m_events(events) {}

    // Writes the tree, then its changes until an end comes; answers why it ended.
    std::string Run(const PathMatch& root) {
        m_root = root.window;
        const EventCoverage coverage = m_events.Listen(root.window);
        const auto fullReadEvery = coverage.Complete()
                                       ? m_request.interval * kIntervalsBetweenSafetyReads
                                       : m_request.interval;
        const std::unique_ptr<DumpWriter> lines = MakeJsonLinesDumpWriter(m_output);
        m_tree = ReadTree(root, 0, 0, kNoDepthLimit, lines.get());
        m_output.Flush();
        const Clock::time_point start = m_services.now();
        // Without --duration, a time that never comes.
        const Clock::time_point end =
            m_request.duration ? start + *m_request.duration : Clock::time_point::max();
        Clock::time_point nextFullRead = start + fullReadEvery;
        Clock::time_point nextItemsRead = start + m_request.interval;
        for (;;) {
            if (const char* reason = EndReached()) {
                return reason;
            }
            Clock::time_point wakeAt = nextFullRead;
            if (m_request.items) {
                wakeAt = std::min(wakeAt, nextItemsRead);
            }
            wakeAt = std::min(wakeAt, end);
            const Clock::time_point now = m_services.now();
            const EventWake wake =
                m_events.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::max(wakeAt - now, Clock::duration::zero())));
            if (wake.stopAsked) {
                return "stopped";
            }
            ReadWhatEventsName(wake.events);
            const Clock::time_point after = m_services.now();
            if (after >= end) {
                const char* other = EndReached();
                return other != nullptr ? other : "duration";
            }
            if (after >= nextFullRead) {
                ReadAgain(m_root, true);
                nextFullRead = after + fullReadEvery;
                nextItemsRead = after + m_request.interval;
            } else if (m_request.items && after >= nextItemsRead) {
                ReadItemsAgain();
                nextItemsRead = after + m_request.interval;
            }
        }
    }

    [[nodiscard]] std::size_t Changes() const noexcept { return m_changes; }

private:
    // Why the watch ends now, or nullptr while it goes on.
    const char* EndReached() {
        if (m_output.Failed()) {
            return "output";
        }
        if (!m_services.windows.Exists(m_root)) {
            return "rootClosed";
        }
        if (m_request.count && m_changes >= *m_request.count) {
            return "count";
        }
        if (m_request.untilText &&
            std::any_of(m_tree.begin(), m_tree.end(), [&](const SnapshotWindow& window) {
                return window.text.find(*m_request.untilText) != Text::npos;
            })) {
            return "untilText";
        }
        return nullptr;
    }

    Snapshot ReadTree(const PathMatch& from, int depth, WindowHandle parent, int maxDepth,
                      DumpWriter* lines) {
        Snapshot read;
        SnapshotCollector collector(read, depth, parent, lines);
        WalkOptions options;
        options.maxDepth = maxDepth;
        options.keepGoing = [this] { return !m_output.Failed(); };
        static_cast<void>(
            WalkIntoWriter(from, collector, m_request.items, options, m_services, m_reporter));
        return read;
    }

    [[nodiscard]] std::optional<std::size_t> IndexOf(WindowHandle window) const {
        const auto found =
            std::find_if(m_tree.begin(), m_tree.end(),
                         [window](const SnapshotWindow& entry) { return entry.handle == window; });
        return found == m_tree.end()
                   ? std::nullopt
                   : std::optional(static_cast<std::size_t>(found - m_tree.begin()));
    }

    // Where the subtree of the window at index ends in the tree's pre-order.
    [[nodiscard]] std::size_t SubtreeEnd(std::size_t index) const {
        std::size_t end = index + 1;
        while (end < m_tree.size() && m_tree[end].depth > m_tree[index].depth) {
            ++end;
        }
        return end;
    }

    // Reads the window again (with its subtree when whole), writes what changed and puts what was
    // read in its place. A window that is no longer there has its parent's subtree read again.
    void ReadAgain(WindowHandle window, bool whole) {
        const std::optional<std::size_t> index = IndexOf(window);
        if (!index) {
            return;
        }
        const SnapshotWindow& old = m_tree[*index];
        Snapshot fresh = ReadTree({old.handle, old.path, old.pathCut}, old.depth, old.parent,
                                  whole ? kNoDepthLimit : 0, nullptr);
        if (fresh.empty() && *index != 0) {
            ReadAgain(old.parent, true);
            return;
        }
        if (!m_services.windows.Exists(m_root)) {
            return;  // the tree is closing: the watch ends without telling of each window
        }
        const std::size_t end = whole ? SubtreeEnd(*index) : *index + 1;
        Snapshot before(m_tree.begin() + static_cast<std::ptrdiff_t>(*index),
                        m_tree.begin() + static_cast<std::ptrdiff_t>(end));
        Write(CompareSnapshots(before, fresh, MatchBy::Handle));
        m_tree.erase(m_tree.begin() + static_cast<std::ptrdiff_t>(*index),
                     m_tree.begin() + static_cast<std::ptrdiff_t>(end));
        m_tree.insert(m_tree.begin() + static_cast<std::ptrdiff_t>(*index),
                      std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    }

    void ReadItemsAgain() {
        std::vector<WindowHandle> withItems;
        for (const SnapshotWindow& window : m_tree) {
            if (window.items) {
                withItems.push_back(window.handle);
            }
        }
        for (const WindowHandle window : withItems) {
            ReadAgain(window, false);
        }
    }

    // A window created or destroyed has its parent's subtree read again; one whose text, value
    // or state changed is read again alone.
    void ReadWhatEventsName(const std::vector<WindowEvent>& events) {
        std::vector<WindowHandle> subtrees;
        std::vector<WindowHandle> windows;
        for (const WindowEvent& event : events) {
            const std::optional<std::size_t> index = IndexOf(event.window);
            switch (event.kind) {
                case WindowEventKind::Created:
                    subtrees.push_back(m_services.details.ParentOf(event.window));
                    break;
                case WindowEventKind::Destroyed:
                    if (index) {
                        subtrees.push_back(*index == 0 ? m_root : m_tree[*index].parent);
                    }
                    break;
                default:
                    if (index) {
                        windows.push_back(event.window);
                    }
                    break;
            }
        }
        for (const auto& [handles, whole] :
             {std::pair(&subtrees, true), std::pair(&windows, false)}) {
            std::sort(handles->begin(), handles->end());
            handles->erase(std::unique(handles->begin(), handles->end()), handles->end());
            for (const WindowHandle window : *handles) {
                ReadAgain(window, whole);
            }
        }
    }

    void Write(const std::vector<WindowChange>& changes) {
        for (const WindowChange& change : changes) {
            if (m_request.count && m_changes >= *m_request.count) {
                return;
            }
            m_output.Write(JsonText(ChangeObject(change, UtcTimeText())) + "\n");
            ++m_changes;
        }
        m_output.Flush();
    }

    const WatchRequest& m_request;
    CliServices& m_services;
    Reporter& m_reporter;
    Output& m_output;
    WindowEvents& m_events;
    WindowHandle m_root = 0;
    Snapshot m_tree;
    std::size_t m_changes = 0;
};

}  // namespace

int RunWatch(const WatchRequest& request, CliServices& services, Reporter& reporter) {
    if (services.events == nullptr) {
        throw Failure(u"This system cannot tell of window changes.");
    }
    const std::variant<PathMatch, int> selected =
        SelectTreeRoot(request.selector, request.all, request.first, request.path,
                       "watches the first", services, reporter);
    if (const int* exitCode = std::get_if<int>(&selected)) {
        return *exitCode;
    }
    Output output(services.console, services.files, {});
    Watcher watcher(request, services, reporter, output, *services.events);
    const std::string reason = watcher.Run(std::get<PathMatch>(selected));
    Json end = Json::object();
    end["type"] = "end";
    end["time"] = UtcTimeText();
    end["reason"] = reason;
    end["changes"] = watcher.Changes();
    output.Write(JsonText(end) + "\n");
    output.Finish();
    return ExitCode::kDone;
}

namespace {

constexpr char kWatchFooter[] =
    "First a JSON line per window of the tree, as dump -f jsonl writes them; then a line per\n"
    "change as it is seen (\"type\":\"change\": added, removed, text, items, visible, enabled;\n"
    "with the time, handle, path, old and new value); last a line saying why it ended\n"
    "(\"type\":\"end\", \"reason\": rootClosed, duration, count, untilText or stopped, on\n"
    "Ctrl+C, Ctrl+Break or the console closing). It only reads: the system's window events say\n"
    "what to read again where it sends them; what they miss is read every --interval.\n"
    "Exit codes: 0 ended (for any of the reasons above, or the reader of a pipe stopped); 1\n"
    "usage error, or the output cannot be written; 2 no window matched (or no control, on\n"
    "--path); 3 the selector (or --path) matched more than one window.\n"
    "\n"
    "Examples:\n"
    "  tessivane-cli watch --title \"Backup\" --path \"msctls_statusbar32\" --until-text Done\n"
    "  tessivane-cli watch --class Notepad --items --duration 60 > changes.jsonl\n"
    "  tessivane-cli watch --handle 0x10086 --interval 2000 --count 1";

// Reading a tree again more often than this would keep a processor busy for nothing.
constexpr int kMinWatchIntervalMs = 50;

class WatchOptions final : public CommandOptions {
public:
    WatchOptions(CLI::App& command, Complaint& complaint) {
        m_tree.AddTo(command, complaint, "watch",
                     "Read each control's items too, and tell when they change");
        command
            .add_option("--interval", m_intervalMs,
                        "Read again every this many milliseconds what the system's events do not "
                        "tell of (default 500)")
            ->check(WholeNumber("--interval", kMinWatchIntervalMs, kMaxDeadlineMs, complaint))
            ->option_text("MS");
        command.add_option("--duration", m_durationSeconds, "End after this many seconds")
            ->check(WholeNumber("--duration", 1, kMaxDeadlineMs / 1000, complaint))
            ->option_text("S");
        command.add_option("--count", m_changeCount, "End after this many changes")
            ->check(WholeNumber("--count", 1, kMaxDepth, complaint))
            ->option_text("N");
        command
            .add_option("--until-text", m_untilText,
                        "End once a window of the tree shows a text that holds this (at once when "
                        "one does already)")
            ->option_text("TEXT");
        AddTimeout(command, m_timeoutMs, complaint);
    }

    std::string Problem(const CLI::App&) const override { return m_tree.selector.Problem("watch"); }

    RequestOrProblem Request(const CLI::App& command) const override {
        WatchRequest request;
        request.selector = m_tree.selector.Selected();
        request.all = m_tree.all;
        request.first = m_tree.first;
        request.path = PathOf(command, m_tree.path);
        request.items = m_tree.items;
        request.interval = std::chrono::milliseconds(m_intervalMs);
        request.timeout = std::chrono::milliseconds(m_timeoutMs);
        if (m_durationSeconds != 0) {
            request.duration = std::chrono::seconds(m_durationSeconds);
        }
        if (m_changeCount != 0) {
            request.count = static_cast<std::size_t>(m_changeCount);
        }
        if (command.count("--until-text") > 0) {
            request.untilText = Utf8ToText(m_untilText);
        }
        return request;
    }

private:
    TreeOptions m_tree;
    int m_intervalMs = static_cast<int>(kDefaultWatchInterval.count());
    int m_durationSeconds = 0;
    int m_changeCount = 0;
    std::string m_untilText;
    int m_timeoutMs = static_cast<int>(kTextMessageTimeout.count());
};

}  // namespace

std::unique_ptr<CommandOptions> DeclareWatch(CLI::App& command, Complaint& complaint) {
    command.footer(kWatchFooter);
    return std::make_unique<WatchOptions>(command, complaint);
}
