// tessivane-cli watch on the fake desktop: the tree first, then each change once, read again only
// where the events point (or at the interval where the system tells of nothing), and each end.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "unit/cli/CliHarness.h"

namespace {

using ParsedJson = nlohmann::json;

// Events as a script says: each Wait takes the next step (which may change the desktop) and
// answers what it names; once the script is done, each Wait passes its whole time-out.
class ScriptedEvents final : public WindowEvents {
public:
    using Step = std::function<EventWake()>;

    EventCoverage Listen(WindowHandle) override { return coverage; }
    EventWake Wait(std::chrono::milliseconds timeout) override {
        waited.push_back(timeout);
        if (steps.empty()) {
            *clock += timeout;
            return {};
        }
        const Step step = std::move(steps.front());
        steps.pop_front();
        return step();
    }

    EventCoverage coverage;
    std::deque<Step> steps;
    std::vector<std::chrono::milliseconds> waited;
    // The command's clock, moved on by the time-outs waited through.
    std::chrono::steady_clock::time_point* clock = nullptr;
};

struct WatchTest : ::testing::Test {
    CliHarness cli;
    ScriptedEvents events;
    WindowHandle top = 0;
    WindowHandle label = 0;
    WindowHandle panel = 0;
    std::size_t textReads = 0;

    void SetUp() override {
        cli.events = &events;
        events.clock = &cli.now;
        top = cli.desktop.AddTopLevel(u"Backup");
        cli.desktop.At(top).className = u"BackupFrame";
        label = cli.AddControl(top, u"Static", u"Status: idle", 101);
        panel = cli.AddControl(top, u"Panel", u"", 102);
        cli.AddControl(panel, u"Button", u"Start", 1);
        cli.desktop.onTextRequest = [this](WindowHandle) { ++textReads; };
    }

    // The watch's lines, each parsed; its exit code must be 0.
    std::vector<ParsedJson> Watch(std::vector<std::string> options) {
        options.insert(options.begin(), {"watch", "--handle", std::to_string(top)});
        EXPECT_EQ(cli.Run(options), 0) << cli.console.error;
        std::vector<ParsedJson> lines;
        std::istringstream out(cli.console.out);
        for (std::string line; std::getline(out, line);) {
            lines.push_back(ParsedJson::parse(line));
        }
        return lines;
    }

    static std::vector<ParsedJson> OfType(const std::vector<ParsedJson>& lines,
                                          const std::string& type) {
        std::vector<ParsedJson> found;
        for (const ParsedJson& line : lines) {
            if (line["type"] == type) {
                found.push_back(line);
            }
        }
        return found;
    }

    static EventWake Named(WindowEventKind kind, WindowHandle window) {
        return EventWake{{WindowEvent{kind, window}}, false};
    }
};

TEST_F(WatchTest, WritesTheTreeThenEachChangeOnceWithItsPathAndEndsWhenTheWindowCloses) {
    events.coverage = {true, true, true};
    WindowHandle added = 0;
    events.steps = {
        [&] {
            cli.desktop.At(label).text = u"Status: busy";
            return Named(WindowEventKind::Text, label);
        },
        [&] {
            added = cli.AddControl(panel, u"Button", u"Cancel", 2);
            return Named(WindowEventKind::Created, added);
        },
        [&] {
            cli.desktop.At(label).enabled = false;
            cli.desktop.At(label).visible = false;
            return Named(WindowEventKind::State, label);
        },
        [&] {
            cli.desktop.Remove(added);
            return Named(WindowEventKind::Destroyed, added);
        },
        [&] {
            cli.desktop.Remove(top);
            return Named(WindowEventKind::Destroyed, top);
        },
    };
    const std::vector<ParsedJson> lines = Watch({});

    ASSERT_EQ(OfType(lines, "window").size(), 4u);
    const std::vector<ParsedJson> changes = OfType(lines, "change");
    const std::vector<std::vector<std::string>> expected = {
        {"text", "Static#101", "\"Status: idle\"", "\"Status: busy\""},
        {"added", "Panel#102/Button#2", "null", ""},
        {"visible", "Static#101", "true", "false"},
        {"enabled", "Static#101", "true", "false"},
        {"removed", "Panel#102/Button#2", "", "null"},
    };
    ASSERT_EQ(changes.size(), expected.size()) << cli.console.out;
    for (std::size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(index);
        const ParsedJson& change = changes[index];
        EXPECT_EQ(change["change"], expected[index][0]);
        EXPECT_EQ(change["path"], expected[index][1]);
        if (!expected[index][2].empty()) {
            EXPECT_EQ(change["old"].dump(), expected[index][2]);
        }
        if (!expected[index][3].empty()) {
            EXPECT_EQ(change["new"].dump(), expected[index][3]);
        }
        EXPECT_TRUE(change["time"].is_string());
    }
    EXPECT_EQ(lines.back()["type"], "end");
    EXPECT_EQ(lines.back()["reason"], "rootClosed");
    EXPECT_EQ(lines.back()["changes"], expected.size());
}

TEST_F(WatchTest, WithEventsForEverythingNothingIsReadAgainUntilAnEventNamesIt) {
    events.coverage = {true, true, true};
    std::size_t readsBeforeEvent = 0;
    const auto quiet = [&] { return EventWake{}; };
    events.steps = {quiet, quiet, quiet, [&] {
                        readsBeforeEvent = textReads;
                        cli.desktop.At(label).text = u"Status: done";
                        return Named(WindowEventKind::Text, label);
                    }};
    const std::size_t treeReads = 4;
    const std::vector<ParsedJson> lines = Watch({"--until-text", "done"});

    EXPECT_EQ(readsBeforeEvent, treeReads);
    // The label alone is read again.
    EXPECT_EQ(textReads, treeReads + 1);
    EXPECT_EQ(lines.back()["reason"], "untilText");
}

TEST_F(WatchTest, WithoutEventsTheTreeIsReadAgainEachIntervalAndAChangeIsSeenThen) {
    cli.tick = std::chrono::milliseconds(1);
    events.steps = {[&] {
        cli.desktop.At(label).text = u"Status: busy";
        return EventWake{};
    }};
    const std::vector<ParsedJson> lines = Watch({"--interval", "200", "--count", "1"});

    ASSERT_FALSE(events.waited.empty());
    EXPECT_LE(events.waited.front(), std::chrono::milliseconds(200));
    const std::vector<ParsedJson> changes = OfType(lines, "change");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0]["new"], "Status: busy");
    EXPECT_EQ(lines.back()["reason"], "count");
}

TEST_F(WatchTest, EndsWhenAStopIsAskedOrItsDurationHasPassed) {
    struct Case {
        std::vector<std::string> options;
        bool stop;
        std::string reason;
    };
    for (const Case& test :
         std::vector<Case>{{{}, true, "stopped"}, {{"--duration", "2"}, false, "duration"}}) {
        SCOPED_TRACE(test.reason);
        cli.console.out.clear();
        cli.tick = std::chrono::milliseconds(100);
        events.steps.clear();
        if (test.stop) {
            events.steps.push_back([] { return EventWake{{}, true}; });
        }
        const std::vector<ParsedJson> lines = Watch(test.options);
        EXPECT_EQ(lines.back()["reason"], test.reason);
        EXPECT_EQ(OfType(lines, "change").size(), 0u);
    }
}

TEST_F(WatchTest, AnUntilTextThatShowsAtTheStartEndsTheWatchAfterTheTree) {
    const std::vector<ParsedJson> lines = Watch({"--until-text", "idle"});
    EXPECT_EQ(OfType(lines, "window").size(), 4u);
    EXPECT_EQ(lines.back()["reason"], "untilText");
    EXPECT_TRUE(events.waited.empty());
}

TEST_F(WatchTest, WithEventsForEverythingTheWholeTreeIsStillReadAgainEveryTwentyIntervals) {
    events.coverage = {true, true, true};
    const auto start = cli.now;
    // A change that no event tells of.
    events.steps = {[&] {
        cli.desktop.At(label).text = u"Status: busy";
        return EventWake{};
    }};
    const std::vector<ParsedJson> lines =
        Watch({"--interval", "100", "--count", "1", "--duration", "10"});
    EXPECT_EQ(OfType(lines, "change").size(), 1u);
    EXPECT_EQ(lines.back()["reason"], "count");
    EXPECT_EQ(cli.now - start, std::chrono::milliseconds(20 * 100));
}

TEST_F(WatchTest, ASelectorOrPathThatMatchesNothingGivesTheDumpsExitCode) {
    EXPECT_EQ(cli.Run({"watch", "--title", "No such window"}), 2);
    EXPECT_EQ(cli.Run({"watch", "--handle", std::to_string(top), "--path", "Edit#9"}), 2);
    EXPECT_NE(cli.console.error.find("Edit#9"), std::string::npos);
    EXPECT_TRUE(cli.console.out.empty());
}

}  // namespace
