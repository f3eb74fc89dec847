// Two snapshots of a tree compared: which windows are the same, what changed and in what order;
// windows read from the dump's objects, and the change lines.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "core/Failure.h"
#include "documents/DumpWriters.h"
#include "documents/Snapshot.h"

namespace {

using W = SnapshotWindow;

W Window(WindowHandle handle, Text path, Text className, Text text = u"") {
    W window;
    window.handle = handle;
    window.path = std::move(path);
    window.className = std::move(className);
    window.text = std::move(text);
    window.visible = true;
    window.enabled = true;
    window.status = "read";
    return window;
}

// A change that sets one member of a window.
template <typename Value>
auto Set(Value W::*member, std::type_identity_t<Value> value) {
    return [member, value](W& window) { window.*member = value; };
}

W With(W window, auto&&... changes) {
    (changes(window), ...);
    return window;
}

Json Rows(std::vector<std::string> rows, const char* status = "read") {
    return Json{{"kind", "listBox"}, {"status", status}, {"columns", {""}}, {"rows", rows}};
}

// Before: a dialog with a label, an edit, a list box and a button.
Snapshot Dialog() {
    return {Window(100, u"", u"#32770", u"Settings"), Window(101, u"Static#1", u"Static", u"Name"),
            Window(102, u"Edit#2", u"Edit", u"Ann"),
            With(Window(103, u"ListBox#3", u"ListBox"), Set(&W::items, Rows({"a", "b"}))),
            Window(104, u"Button#4", u"Button", u"OK")};
}

// The dialog with one of its windows changed.
Snapshot DialogWith(std::size_t index, auto&&... changes) {
    Snapshot snapshot = Dialog();
    snapshot[index] = With(snapshot[index], changes...);
    return snapshot;
}

Snapshot DialogWithout(std::size_t index) {
    Snapshot snapshot = Dialog();
    snapshot.erase(snapshot.begin() + static_cast<std::ptrdiff_t>(index));
    return snapshot;
}

// The same dialog in a new run of its program: every handle moved on.
Snapshot Rerun(Snapshot snapshot) {
    for (W& window : snapshot) {
        window.handle += 1000;
    }
    return snapshot;
}

struct CompareCase {
    const char* name;
    Snapshot before;
    Snapshot after;
    MatchBy match;
    // Each change as its name, the handle it names and its path.
    std::vector<std::string> changes;
};

// A case that compares after with the dialog, unless before is given.
CompareCase Case(const char* name, Snapshot after, std::vector<std::string> changes,
                 MatchBy match = MatchBy::Handle, Snapshot before = Dialog()) {
    return {name, std::move(before), std::move(after), match, std::move(changes)};
}

std::string Described(const WindowChange& change) {
    const W& window = change.after != nullptr ? *change.after : *change.before;
    return std::string(ChangeName(change.kind)) + " " + std::to_string(window.handle) + " " +
           TextToUtf8(window.path);
}

class CompareSnapshotsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareSnapshotsTest, GivesEachChangeInOrder) {
    const CompareCase& test = GetParam();
    std::vector<std::string> got;
    for (const WindowChange& change : CompareSnapshots(test.before, test.after, test.match)) {
        got.push_back(Described(change));
    }
    EXPECT_EQ(got, test.changes);
}

constexpr MatchBy kPaths = MatchBy::PathThenHandle;

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareSnapshotsTest,
    ::testing::Values(
        Case("Same", Dialog(), {}),
        Case("Text", DialogWith(2, Set(&W::text, u"Bob")), {"text 102 Edit#2"}),
        Case("ItemsRows", DialogWith(3, Set(&W::items, Rows({"a", "c"}))), {"items 103 ListBox#3"}),
        Case("HiddenAndDisabledAtOnce",
             DialogWith(4, Set(&W::visible, false), Set(&W::enabled, false),
                        Set(&W::text, u"Close")),
             {"text 104 Button#4", "visible 104 Button#4", "enabled 104 Button#4"}),
        Case("AddedWhereItStands",
             [] {
                 Snapshot after = Dialog();
                 after.insert(after.begin() + 2, Window(110, u"Static#9", u"Static"));
                 return after;
             }(),
             {"added 110 Static#9"}),
        Case("RemovedBeforeItsNextWindow", DialogWithout(2), {"removed 102 Edit#2"}),
        Case("RemovedLastAtTheEnd", DialogWithout(4), {"removed 104 Button#4"}),
        Case("HandleReusedByAnotherClass", DialogWith(2, Set(&W::className, u"RichEdit20W")),
             {"removed 102 Edit#2", "added 102 Edit#2"}),
        Case("ClassNamesWhateverTheirCase", DialogWith(2, Set(&W::className, u"EDIT")), {}),
        Case("HandlesAloneSeeANewRunAsAllNew", Rerun(DialogWithout(1)),
             {"removed 100 ", "removed 102 Edit#2", "removed 103 ListBox#3", "removed 104 Button#4",
              "added 1100 ", "added 1102 Edit#2", "added 1103 ListBox#3", "added 1104 Button#4"},
             MatchBy::Handle, DialogWithout(1)),
        Case("PathsAcrossRuns", Rerun(DialogWith(1, Set(&W::text, u"Surname"))),
             {"text 1101 Static#1"}, kPaths),
        Case("LeftoversByHandle", DialogWith(2, Set(&W::path, u"Edit#7"), Set(&W::text, u"Bob")),
             {"text 102 Edit#7"}, kPaths),
        Case("LeftoversOfAnotherClassAreNotTheSame",
             DialogWith(2, Set(&W::path, u"Edit#7"), Set(&W::className, u"Static")),
             {"removed 102 Edit#2", "added 102 Edit#7"}, kPaths),
        Case("GoneIsRemoved", DialogWith(2, Set(&W::status, "gone")), {"removed 102 Edit#2"}),
        Case("TimedOutTextIsNoChange",
             DialogWith(2, Set(&W::status, "timedOut"), Set(&W::text, u"")), {}),
        Case("ItemsOnOneSideOnlyAreNoChange", DialogWith(3, Set(&W::items, std::nullopt)), {}),
        Case("ItemsThatTimedOutAreNoChange", DialogWith(3, Set(&W::items, Rows({}, "timedOut"))),
             {})),
    [](const auto& info) { return std::string(info.param.name); });

// A dumped window as the dump writes it, read back.
struct SnapshotWindowOfTest : ::testing::Test {
    ItemsTable items{ItemsKind::ListBox, {u""}};
    Json object;

    void SetUp() override {
        const Text row[] = {u"one"};
        items.AppendRow(row);
        DumpedWindow dumped;
        dumped.handle = 0x2A0;
        dumped.parent = 0x100;
        dumped.depth = 2;
        dumped.path = u"Panel#5/ListBox#6";
        dumped.className = u"ListBox";
        dumped.text = u"\u6f22";
        dumped.facts = WindowFacts{6, true, true, {1, 2, 3, 4}};
        dumped.visible = true;
        dumped.status = WindowStatus::Cut;
        dumped.items = &items;
        object = WindowObject(dumped);
    }
};

TEST_F(SnapshotWindowOfTest, ReadsTheMembersTheDumpWrites) {
    Json line = WindowLineHead();
    line.update(object);
    const SnapshotWindow window = SnapshotWindowOf(line);
    EXPECT_EQ(std::tuple(window.handle, window.parent, window.depth, window.visible, window.enabled,
                         window.status),
              std::tuple(WindowHandle{0x2A0}, WindowHandle{0x100}, 2, true, true, "cut"));
    EXPECT_EQ((std::vector<Text>{window.path, window.className, window.text}),
              (std::vector<Text>{u"Panel#5/ListBox#6", u"ListBox", u"\u6f22"}));
    ASSERT_TRUE(window.items);
    EXPECT_EQ((*window.items)["rows"], Json::array({Json::array({"one"})}));
    EXPECT_EQ(window.members, object);
}

TEST_F(SnapshotWindowOfTest, NamesTheMemberThatIsWrong) {
    const auto set = [](const char* name, Json value) {
        return [name, value](Json& window) { window[name] = value; };
    };
    const std::vector<std::pair<std::function<void(Json&)>, std::string>> cases{
        {[](Json& window) { window = Json::array(); }, "a window is not a JSON object"},
        {[](Json& window) { window.erase("parent"); }, "the window's \"parent\" is missing"},
        {set("handle", "0x2A0"), "the window's \"handle\" is not a handle"},
        {set("handle", 4294967296), "the window's \"handle\" is not a handle"},
        {set("parent", 1.5), "the window's \"parent\" is neither a handle"},
        {set("depth", -1), "the window's \"depth\" is not a whole number from 0"},
        {set("text", nullptr), "the window's \"text\" is not a text"},
        {set("visible", 1), "the window's \"visible\" is not true or false"},
        {set("items", Json::array()), "the window's \"items\" is not an object"}};
    for (const auto& [change, message] : cases) {
        Json window = object;
        change(window);
        try {
            static_cast<void>(SnapshotWindowOf(window));
            ADD_FAILURE() << "no failure for " << window.dump();
        } catch (const Failure& failure) {
            EXPECT_EQ(TextToUtf8(failure.Description()).rfind(message, 0), 0u)
                << TextToUtf8(failure.Description());
        }
    }
}

TEST_F(SnapshotWindowOfTest, ChangeLinesSayOldAndNew) {
    const Snapshot before{SnapshotWindowOf(object)};
    Snapshot after = before;
    after[0].text = u"new";
    after[0].visible = false;
    const std::vector<WindowChange> changes = CompareSnapshots(before, after, MatchBy::Handle);
    ASSERT_EQ(changes.size(), 2u);
    const Json text = ChangeObject(changes[0], "2024-05-01T10:00:00.250Z");
    EXPECT_EQ(text, Json::parse(R"({"type":"change","time":"2024-05-01T10:00:00.250Z",)"
                                R"("change":"text","handle":672,"handleHex":"0x000002A0",)"
                                R"("path":"Panel#5/ListBox#6","class":"ListBox",)"
                                R"("old":"\u6f22","new":"new"})"));
    const Json visible = ChangeObject(changes[1], std::nullopt);
    EXPECT_FALSE(visible.contains("time"));
    EXPECT_EQ(visible["old"], true);
    EXPECT_EQ(visible["new"], false);

    const Json added = ChangeObject({ChangeKind::Added, nullptr, &before[0]}, std::nullopt);
    EXPECT_EQ(added["old"], nullptr);
    EXPECT_EQ(added["new"], object);
    const Json removed = ChangeObject({ChangeKind::Removed, &before[0], nullptr}, std::nullopt);
    EXPECT_EQ(removed["old"], object);
    EXPECT_EQ(removed["new"], nullptr);
}

}  // namespace
