// The accessible tree of the fixture's self-drawn panel and the COM objects that answer for it.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstddef>
#include <string>
#include <vector>

// How the tree misbehaves towards a reader; None for the plain and the generated trees.
enum class AccessibleHostility {
    None,
    Hang,
    Liar,
    Cycle,
    Deep,
    HugeName,
    BadVariant,
    Dies,
    Denied
};

// One node of the tree; an object node is answered by its own IAccessible, any other through its
// parent's object with its child id (1 for the first child).
struct AccessibleNode {
    std::wstring name;
    std::wstring value;  // what get_accValue answers, a protected node's too
    LONG role = 0;
    LONG state = 0;
    bool object = false;
    bool hangsOnName = false;  // get_accName never returns
    bool oddVariants = false;  // get_accRole answers VT_R8, get_accState VT_BSTR
    bool badSlot = false;      // listed among its parent's children as a VT_R8, nothing else
    std::size_t parent = 0;
    std::vector<std::size_t> children;  // indices into the tree's nodes; may point back up
    int depth = 0;                      // in the painted pre-order; -1 when not painted
    int line = -1;
};

struct AccessibleTree {
    std::vector<AccessibleNode> nodes;  // nodes[0] is the panel's client object
    HWND panel = nullptr;
    AccessibleHostility hostility = AccessibleHostility::None;
    LONG claimedChildren = 0;  // the root's child count when it lies; 0: the true one
    LONG namesAsked = 0;
    // Each object node's COM object while a client holds it, so that a node keeps one identity.
    std::vector<IAccessible*> live;
    LONG liveObjects = 0;
};

// The client object of the panel's WM_GETOBJECT: the root node's object, with a reference the
// caller releases.
[[nodiscard]] IAccessible* RootObject(AccessibleTree& tree);
// Where the panel paints a node's name: one line a node in pre-order, indented by its depth.
inline constexpr int kAccessibleLineHeight = 18;
inline constexpr int kAccessibleIndent = 16;
inline constexpr int kAccessibleMargin = 4;

// IID_IAccessible as Windows has it.
[[nodiscard]] const IID& AccessibleIid();
