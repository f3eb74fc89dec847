// The accessible tree's reader against a program's tree that answers as it should, and against
// ones that lie about their children, loop, go too deep, give wrong types or stop part-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fakes/FakeRemoteItems.h"
#include "items/ItemsReader.h"
#include "items/KindReaders.h"

namespace {

using Object = FakeRemoteItems::AccessibleObject;
using Child = FakeRemoteItems::AccessibleChild;

constexpr std::uint32_t kProtected = 0x20000000;

Object AccessibleAt(Text name, Text role, Text value = {}, std::uint32_t state = 0,
                    std::vector<Child> children = {}) {
    Object node;
    node.name = std::move(name);
    node.role = std::move(role);
    node.value = std::move(value);
    node.state = state;
    node.children = std::move(children);
    return node;
}

// Object 1, the window's own: a simple button (2) and a group (3) holding a simple amount (4), a
// protected PIN (5) and a list (6) with one simple line (7).
std::vector<Object> PanelTree() {
    std::vector<Object> objects(7);
    objects[0] = AccessibleAt(u"Panel", u"client", u"", 0, {{2, true}, {3, false}});
    objects[1] = AccessibleAt(u"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac", u"push button",
                              u"", 0x10);
    objects[2] = AccessibleAt(u"Details", u"grouping", u"", 0, {{4, true}, {5, true}, {6, false}});
    objects[3] = AccessibleAt(u"Amount", u"editable text", u"42.50");
    objects[4] = AccessibleAt(u"PIN", u"editable text", u"1234", kProtected);
    objects[5] = AccessibleAt(u"Lines", u"list", u"", 0, {{7, true}});
    objects[6] = AccessibleAt(u"\u6f22\u5b57", u"list item", u"", 0x2);
    return objects;
}

struct Read {
    ItemsTable table;
    std::vector<Text> names;
    std::vector<int> depths;
};

Read ReadTree(std::vector<Object> objects,
              const std::function<void(FakeRemoteItems&, WindowHandle)>& adjust = {},
              std::size_t cap = kItemsCap) {
    FakeRemoteItems items;
    FakeRemoteItems::Control panel;
    panel.kind = ItemsKind::Accessible;
    panel.accessible = std::move(objects);
    const WindowHandle window = items.Add(std::move(panel));
    if (adjust) {
        adjust(items, window);
    }
    Read read{ReadItems(window, ItemsKind::Accessible, items, cap), {}, {}};
    for (std::size_t row = 0; row < read.table.Rows(); ++row) {
        read.names.emplace_back(read.table.Cell(row, 0));
        read.depths.push_back(read.table.Depth(row));
    }
    return read;
}

TEST(AccessibleReader, ReadsEveryNodeInPreOrderWithoutAProtectedValue) {
    const Read read = ReadTree(PanelTree());
    EXPECT_EQ(read.table.status, ItemsStatus::Read);
    EXPECT_EQ(read.names, (std::vector<Text>{u"Panel", PanelTree()[1].name, u"Details", u"Amount",
                                             u"PIN", u"Lines", u"\u6f22\u5b57"}));
    EXPECT_EQ(read.depths, (std::vector<int>{0, 1, 1, 2, 2, 2, 3}));
    EXPECT_EQ(read.table.Cell(3, 2), u"42.50");
    EXPECT_EQ(read.table.Cell(4, 2), u"");
    EXPECT_EQ(read.table.Cell(4, 3), u"protected");
    EXPECT_EQ(read.table.Cell(1, 1), u"push button");
}

// Each hostile tree ends with its status and keeps the rest of the tree.
TEST(AccessibleReader, EndsEachHostileTreeWithItsStatusAndTheRestRead) {
    struct Case {
        const char* name;
        std::function<void(std::vector<Object>&)> change;
        ItemsStatus status;
        std::size_t rows;
    };
    const Case cases[] = {
        {"an object naming its ancestor and itself",
         [](auto& o) {
             o[5].children = {{3, false}, {7, true}, {6, false}};
         },
         ItemsStatus::Looped, 7},
        {"a billion children claimed, three held",
         [](auto& o) { o[2].claimedChildren = 1'000'000'000; }, ItemsStatus::Malformed, 7},
        {"facts of the wrong type", [](auto& o) { o[3].malformed = true; }, ItemsStatus::Malformed,
         7},
        {"a root that claims children it has not", [](auto& o) { o[0].claimedChildren = 5; },
         ItemsStatus::Malformed, 7},
    };
    for (const Case& each : cases) {
        std::vector<Object> objects = PanelTree();
        each.change(objects);
        const Read read = ReadTree(objects);
        EXPECT_EQ(read.table.status, each.status) << each.name;
        EXPECT_EQ(read.table.Rows(), each.rows) << each.name;
        EXPECT_EQ(read.names.back(), u"\u6f22\u5b57") << each.name;
    }
}

TEST(AccessibleReader, StopsBelowItsDepthAndAtItsCap) {
    std::vector<Object> chain(100);
    for (std::uint32_t link = 0; link + 1 < chain.size(); ++link) {
        chain[link].name = u"Level " + DecimalText(link);
        chain[link].children = {{link + 2, false}};
    }
    const Read deep = ReadTree(chain);
    EXPECT_EQ(deep.table.status, ItemsStatus::TooDeep);
    EXPECT_EQ(deep.depths.back(), kDeepestAccessible);

    const Read capped = ReadTree(PanelTree(), {}, 4);
    EXPECT_EQ(capped.table.status, ItemsStatus::Capped);
    EXPECT_EQ(capped.names,
              (std::vector<Text>{u"Panel", PanelTree()[1].name, u"Details", u"Amount"}));
}

TEST(AccessibleReader, KeepsWhatCameBeforeAProgramStoppedOrWentAndCutsHugeNames) {
    for (const RemoteEnd failure : {RemoteEnd::TimedOut, RemoteEnd::Gone, RemoteEnd::Denied}) {
        const Read read = ReadTree(PanelTree(), [failure](FakeRemoteItems& items, WindowHandle w) {
            items.At(w).answers = 8;
            items.At(w).failure = failure;
        });
        EXPECT_EQ(read.table.status, ItemsStatusOf(failure));
        EXPECT_GT(read.table.Rows(), 1U);
        EXPECT_LT(read.table.Rows(), 7U);
    }
    std::vector<Object> huge = PanelTree();
    huge[6].name.assign(kItemTextCap * 4, u'x');
    const Read read = ReadTree(huge);
    EXPECT_EQ(read.table.cutTexts, 1U);
    EXPECT_EQ(read.names.back().size(), kItemTextCap);
}

// A call that does not answer in time (a 10 MB name that takes seconds to come) costs the read
// that node and its children at most: the tree is opened anew and the read goes on where it was.
TEST(AccessibleReader, GoesOnPastAnyOneCallThatTimedOut) {
    std::vector<Object> objects = PanelTree();
    objects[0].children = {{2, true}, {6, false}, {3, false}, {7, true}};
    objects[2].children = {{4, true}, {5, true}};
    const Read whole = ReadTree(objects);
    ASSERT_EQ(whole.table.status, ItemsStatus::Read);
    std::size_t calls = 0;
    ReadTree(objects, [&calls](FakeRemoteItems& items, WindowHandle) {
        items.onMessage = [&items, &calls] { calls = items.messages; };
    });
    // The first call opens the tree: without it nothing is read. A second call that times out,
    // a few calls after the first, costs at most one more node's subtree.
    for (const std::size_t again : {std::size_t{0}, std::size_t{5}}) {
        for (std::size_t late = 2; late <= calls; ++late) {
            const Read read =
                ReadTree(objects, [late, again](FakeRemoteItems& items, WindowHandle window) {
                    items.onMessage = [&items, window, late, again] {
                        const bool times = items.messages == late ||
                                           (again != 0 && items.messages == late + again);
                        items.At(window).answers = times ? 0 : kItemsCap;
                    };
                });
            SCOPED_TRACE(testing::Message() << "call " << late << ", again " << again);
            EXPECT_EQ(read.table.status, ItemsStatus::TimedOut);
            EXPECT_GE(read.table.Rows() + (again == 0 ? 3 : 6), whole.table.Rows())
                << "more than one node's subtree lost for each call";
            auto from = whole.names.begin();
            for (const Text& name : read.names) {
                from = std::find(from, whole.names.end(), name);
                ASSERT_NE(from, whole.names.end()) << "a node read twice or out of order";
                ++from;
            }
        }
    }
}

TEST(AccessibleReader, SaysATreeThatGrewWhileReadChanged) {
    const Read read = ReadTree(PanelTree(), [](FakeRemoteItems& items, WindowHandle window) {
        items.onMessage = [&items, window, calls = 0]() mutable {
            std::vector<Object>& objects = items.At(window).accessible;
            if (++calls == 5) {
                objects.push_back(AccessibleAt(u"Late", u"text"));
                objects[0].children.push_back({8, true});
            }
        };
    });
    EXPECT_EQ(read.table.status, ItemsStatus::Changed);
}

TEST(AccessibleReader, TakesOnlyWindowsThatMayDrawTheirOwnControlsAndAnswerWithATree) {
    FakeRemoteItems items;
    FakeRemoteItems::Control own;
    own.accessible = PanelTree();
    const WindowHandle panel = items.Add(own);
    const WindowHandle plain = items.Add({});
    EXPECT_EQ(ItemsKindOfWindow(panel, u"Chrome_RenderWidgetHostHWND", items),
              ItemsKind::Accessible);
    EXPECT_EQ(ItemsKindOfWindow(plain, u"Qt5QWindowIcon", items), std::nullopt);
    const std::size_t asked = items.messages;
    for (const TextView system : {u"Button", u"Edit", u"Static", u"#32770", u"RichEdit20W",
                                  u"msctls_progress32", u"SysLink"}) {
        EXPECT_EQ(ItemsKindOfWindow(panel, system, items), std::nullopt) << TextToUtf8(system);
    }
    EXPECT_EQ(items.messages, asked) << "a system control's class is not asked";
    EXPECT_EQ(AccessibleStateWords(0x10 | 0x8000 | kProtected), u"checked, invisible, protected");
}

}  // namespace
