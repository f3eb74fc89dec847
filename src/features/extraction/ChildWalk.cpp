// The child walk.
#include "extraction/ChildWalk.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/Failure.h"
#include "core/ReportLocations.h"
#include "core/RowTable.h"
#include "core/Steps.h"
#include "extraction/ResourceText.h"
#include "extraction/TextRead.h"
#include "finding/ControlPath.h"

namespace {

// A collected child: its class name is read as it is collected, and with paths its step too,
// which needs its siblings' class names and ids.
struct Sibling {
    WindowHandle window = 0;
    Text className;
    PathStep step;
};

// One level of the walk: the direct children of a visited window, collected before the first
// is visited. The walk keeps these levels on its own stack, so no nesting depth exhausts the
// call stack.
struct Level {
    WindowHandle window = 0;  // whose children these are
    int depth = 0;            // of that window
    Text path;                // of that window, when the walk makes paths
    bool pathCut = false;     // that path was over kLongestPath
    std::vector<Sibling> children;
    std::size_t next = 0;
};

// The handles a walk has met: open addressing in a flat table, about 8 bytes a handle, so a walk
// of a million windows keeps its set in a few megabytes.
class HandleSet {
public:
    // Adds handle; true when it was not there yet.
    bool Insert(WindowHandle handle) {
        if (handle == kEmpty) {
            return !std::exchange(m_hasEmpty, true);
        }
        if ((m_count + 1) * 2 > m_slots.size()) {
            Grow();
        }
        if (!Place(m_slots, handle)) {
            return false;
        }
        ++m_count;
        return true;
    }

private:
    static constexpr WindowHandle kEmpty = 0;

    // Puts handle in its slot of slots; false when it is there already.
    static bool Place(std::vector<WindowHandle>& slots, WindowHandle handle) {
        const std::size_t mask = slots.size() - 1;
        // Fibonacci hashing spreads handles that differ only in their low bits.
        std::size_t slot =
            static_cast<std::size_t>((static_cast<std::uint32_t>(handle) * 2654435769u) & mask);
        while (slots[slot] != kEmpty) {
            if (slots[slot] == handle) {
                return false;
            }
            slot = (slot + 1) & mask;
        }
        slots[slot] = handle;
        return true;
    }

    void Grow() {
        std::vector<WindowHandle> larger(m_slots.empty() ? 1024 : m_slots.size() * 2, kEmpty);
        for (const WindowHandle handle : m_slots) {
            if (handle != kEmpty) {
                Place(larger, handle);
            }
        }
        m_slots = std::move(larger);
    }

    std::vector<WindowHandle> m_slots;
    std::size_t m_count = 0;
    bool m_hasEmpty = false;
};

// A text that names a resource (an icon or bitmap static's) becomes what the window shows from
// it, "(icon 2)"; answers the resource's ordinal then. Other texts stay as they are.
std::optional<std::uint16_t> ShowResourceName(Text& text, WindowHandle window,
                                              WindowSystem& windows) {
    const std::optional<std::uint16_t> ordinal = ResourceOrdinalOf(text);
    if (ordinal) {
        text = ResourceCaption(
            ResourceKindOf(windows.ClassName(window, kClassNameCapacity), windows.Style(window)),
            *ordinal);
    }
    return ordinal;
}

class Walk {
public:
    Walk(RowSink& rows, WindowSystem& windows, Reporter& reporter, const WalkOptions& options)
        : m_rows(rows),
          m_session(windows),
          m_steps(reporter, ReportLocation::WalkWindowTree),
          m_observer(options.observer),
          m_details(options.details),
          m_firstPath(options.firstPath),
          m_firstPathCut(options.firstPathCut) {}

    // Visits one window, whose class name was read as it was collected: its row, then, above the
    // depth limit, the collection of its direct children that this walk has not met yet, each
    // with its class name (and, with paths, its step).
    Level Visit(Sibling visited, const Level* parentLevel, int maxDepth) {
        const WindowHandle parent = parentLevel != nullptr ? parentLevel->window : 0;
        const int depth = parentLevel != nullptr ? parentLevel->depth + 1 : 0;
        Level level{visited.window, depth, {}, false, {}, 0};
        if (m_details != nullptr && parentLevel == nullptr) {
            level.path = m_firstPath;
            level.pathCut = m_firstPathCut;
        } else if (m_details != nullptr) {
            level.path = parentLevel->pathCut ? Text() : ChildPath(parentLevel->path, visited.step);
            level.pathCut = parentLevel->pathCut || level.path.size() > kLongestPath;
            if (level.pathCut) {
                level.path.clear();
            }
        }
        if (AddRow(visited, parent, level) && depth < maxDepth) {
            CollectChildren(level);
        }
        return level;
    }

    WalkSummary Run(WindowHandle window, const WalkOptions& options) {
        m_visited.Insert(window);
        Sibling first{window, {}, {}};
        m_steps.Run(104, [&] {
            first.className = m_session.Windows().ClassName(window, kClassNameCapacity);
        });
        if (m_details != nullptr) {
            m_steps.Run(126, [&] { first.step.controlId = m_details->ControlId(window); });
        }
        std::vector<Level> path;
        path.push_back(Visit(std::move(first), nullptr, options.maxDepth));
        while (!path.empty()) {
            Level& level = path.back();
            if (level.next == level.children.size()) {
                path.pop_back();
                continue;
            }
            if (m_summary.rows >= options.maxRows) {
                m_summary.rowLimitReached = true;
                break;
            }
            if (options.keepGoing && !options.keepGoing()) {
                m_summary.stopped = true;
                break;
            }
            Sibling child = std::move(level.children[level.next++]);
            Level visited = Visit(std::move(child), &level, options.maxDepth);
            path.push_back(std::move(visited));
        }
        if (!m_summary.stopped) {
            ReadUnansweredAgain(options);
        }
        return m_summary;
    }

private:
    // Adds the visited window's row with its handle and text, and tells the observer of it; false
    // for a window gone before its row was added, or while its own text was read: it gets none.
    bool AddRow(Sibling& visited, WindowHandle parent, const Level& level) {
        WindowSystem& windows = m_session.Windows();
        const WindowHandle window = visited.window;
        const int depth = level.depth;
        Text className = std::move(visited.className);
        std::optional<std::size_t> row;
        // Every window has a class name: an empty one means it is gone, or going.
        if (className.empty() && !m_steps.Check(106, [&] { return windows.Exists(window); })) {
            ++m_summary.vanished;
            return false;
        }
        WindowText read;
        std::optional<std::uint16_t> resource;
        m_steps.Run(112, [&] {
            read = ReadWindowText(window, m_session);
            resource = ShowResourceName(read.text, window, windows);
        });
        if (read.text.empty() && !m_steps.Check(106, [&] { return windows.Exists(window); })) {
            ++m_summary.vanished;
            return false;
        }
        m_steps.Run(108, [&] {
            row = m_rows.AppendRow(std::move(className));
            ++m_summary.rows;
        });
        const auto setCell = [&](int index, auto&& text) {
            if (!row) {
                throw Failure(u"The window's row could not be added, so its cell cannot be set.");
            }
            m_rows.SetCell(*row, index, text());
        };
        m_steps.Run(110, [&] { setCell(kHandleColumn, [&] { return DecimalText(window); }); });
        m_steps.Run(112, [&] { setCell(kTextColumn, [&] { return std::move(read.text); }); });
        if (row) {
            Tally(read.status);
            const WalkedWindow walked{*row,
                                      window,
                                      parent,
                                      depth,
                                      read.status,
                                      resource,
                                      visited.step.controlId,
                                      level.path,
                                      level.pathCut};
            if (read.status == TextReadStatus::TimedOut) {
                m_unanswered.push_back(walked);
            }
            if (m_observer != nullptr) {
                m_steps.Run(114, [&] { m_observer->WindowWalked(walked); });
            }
        }
        return true;
    }

    // Collects the level's window's direct children that this walk has not met yet, each with its
    // class name (and, with paths, its step).
    void CollectChildren(Level& level) {
        WindowSystem& windows = m_session.Windows();
        WindowHandle child = 0;
        m_steps.Run(116, [&] { child = windows.Related(level.window, Relation::Child); });
        while (m_steps.Check(118, [&] { return child != 0; })) {
            bool added = false;
            m_steps.Run(120, [&] {
                added = m_visited.Insert(child);
                if (added) {
                    level.children.push_back({child, {}, {}});
                }
            });
            if (added) {
                m_steps.Run(104, [&] {
                    level.children.back().className = windows.ClassName(child, kClassNameCapacity);
                });
            }
            m_steps.Run(122, [&] { child = windows.Related(child, Relation::Next); });
        }
        if (m_details != nullptr) {
            m_steps.Run(126, [&] { NameSteps(level.children); });
        }
    }

    // Reads the siblings' control ids and gives each its step among them. A sibling without a
    // class name is gone and takes no part.
    void NameSteps(std::vector<Sibling>& siblings) {
        std::vector<PathKey> keys;
        std::vector<Sibling*> named;
        for (Sibling& sibling : siblings) {
            if (!sibling.className.empty()) {
                keys.push_back({sibling.className, m_details->ControlId(sibling.window)});
                named.push_back(&sibling);
            }
        }
        std::vector<PathStep> steps = SiblingSteps(keys);
        for (std::size_t index = 0; index < steps.size(); ++index) {
            named[index]->step = std::move(steps[index]);
        }
    }

    // Counts a text that did not come whole as status says.
    void Tally(TextReadStatus status) {
        switch (status) {
            case TextReadStatus::TimedOut:
                ++m_summary.timedOut;
                break;
            case TextReadStatus::Cut:
                ++m_summary.cut;
                break;
            case TextReadStatus::Changing:
                ++m_summary.changing;
                break;
            case TextReadStatus::Denied:
                ++m_summary.denied;
                break;
            case TextReadStatus::Read:
                break;
        }
    }

    // The windows whose text did not come in time, in the walk's order: each is read again
    // once its thread answers a probe, so that one stall of a thread costs none of its texts.
    // A window gone meanwhile, or whose thread stalls again, keeps its empty text. A window first
    // asked here that does not answer is asked once more after the others.
    void ReadUnansweredAgain(const WalkOptions& options) {
        WindowSystem& windows = m_session.Windows();
        for (std::size_t index = 0; index < m_unanswered.size(); ++index) {
            if (options.keepGoing && !options.keepGoing()) {
                m_summary.stopped = true;
                return;
            }
            WalkedWindow& walked = m_unanswered[index];
            const bool askedBefore = m_session.LeftUnanswered(walked.window);
            WindowText read = ReadAgain(walked);
            if (read.status == TextReadStatus::TimedOut && !askedBefore &&
                m_session.LeftUnanswered(walked.window)) {
                m_unanswered.push_back(WalkedWindow(m_unanswered[index]));
                continue;
            }
            if (read.status == TextReadStatus::TimedOut ||
                (read.text.empty() &&
                 !m_steps.Check(106, [&] { return windows.Exists(walked.window); }))) {
                continue;
            }
            m_steps.Run(112,
                        [&] { m_rows.SetCell(walked.row, kTextColumn, std::move(read.text)); });
            --m_summary.timedOut;
            Tally(read.status);
            walked.status = read.status;
            if (m_observer != nullptr) {
                m_steps.Run(114, [&] { m_observer->WindowReadAgain(walked); });
            }
        }
    }

    // One window's text read again once its thread answers a probe. A window that leaves it
    // unanswered a second time while its thread answers is itself at fault (its answer is one the
    // system cannot carry back): its text is empty and cut, and its thread is read on.
    WindowText ReadAgain(WalkedWindow& walked) {
        const bool askedBefore = m_session.LeftUnanswered(walked.window);
        bool answers = false;
        m_steps.Run(124, [&] { answers = m_session.AnswersAgain(walked.window); });
        WindowText read{{}, TextReadStatus::TimedOut};
        if (!answers) {
            return read;
        }
        m_steps.Run(112, [&] {
            read = ReadWindowText(walked.window, m_session);
            walked.resource = ShowResourceName(read.text, walked.window, m_session.Windows());
        });
        bool alone = false;
        if (read.status == TextReadStatus::TimedOut && askedBefore) {
            m_steps.Run(124, [&] { alone = m_session.AloneAtFault(walked.window); });
        }
        return alone ? WindowText{{}, TextReadStatus::Cut} : read;
    }

    RowSink& m_rows;
    TextReadSession m_session;
    StepRunner m_steps;
    WalkObserver* m_observer;
    WindowDetails* m_details;
    Text m_firstPath;
    bool m_firstPathCut;
    HandleSet m_visited;
    // The rows whose window did not answer in time, in the walk's order.
    std::vector<WalkedWindow> m_unanswered;
    WalkSummary m_summary;
};

}  // namespace

WalkSummary WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows,
                           Reporter& reporter, const std::function<bool()>& keepGoing,
                           std::size_t maxRows) {
    WalkOptions options;
    options.keepGoing = keepGoing;
    options.maxRows = maxRows;
    return WalkWindowTree(window, rows, windows, reporter, options);
}

WalkSummary WalkWindowTree(WindowHandle window, RowSink& rows, WindowSystem& windows,
                           Reporter& reporter, const WalkOptions& options) {
    return Walk(rows, windows, reporter, options).Run(window, options);
}
