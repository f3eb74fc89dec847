// Port: the tree of accessible objects a program exposes for a window that draws its own controls
// (what it tells screen readers, through MSAA), one call at a time. Each call waits at most
// kTextMessageTimeout; a call that does not answer ends the tree: it and every later call end as
// TimedOut, and the call is left behind where it cannot hold up any other read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "ports/WindowSystem.h"

// An object of the tree, or one of its simple children. The tree gives each object it meets one
// number, the same however often it meets it, so that a node naming itself or its ancestor as a
// child is seen; the window's own object is kRootObject.
struct AccessibleNode {
    std::uint32_t object = 0;
    std::int32_t child = 0;  // 0: the object itself; else a simple child of the object

    friend bool operator==(const AccessibleNode&, const AccessibleNode&) = default;
};

inline constexpr std::uint32_t kRootObject = 1;

// What a node says of itself, its value aside: its name, its role as the system words it (or the
// program's own word) and its state bits, as MSAA defines them. A text longer than asked holds its
// first units and counts in cut.
struct AccessibleFacts {
    Text name;
    Text role;
    std::uint32_t state = 0;
    // An answer of a type the call does not have (a number for a name, text for a state): left out.
    bool malformed = false;
    std::size_t cut = 0;
    RemoteEnd end = RemoteEnd::Answered;
};

// A node's value, which a protected node (a password field) is never asked for.
struct AccessibleValue {
    Text value;
    std::size_t cut = 0;
    RemoteEnd end = RemoteEnd::Answered;
};

// The children an object gave, in its order; malformed counts the answers that named no node.
struct AccessibleChildList {
    std::vector<AccessibleNode> nodes;
    std::size_t malformed = 0;
    RemoteEnd end = RemoteEnd::Answered;
};

class AccessibleTree {
public:
    virtual ~AccessibleTree() = default;

    // How many children the object claims.
    [[nodiscard]] virtual RemoteNumber ChildCount(std::uint32_t object) = 0;
    // The object's children from the first'th (from 0) on, at most count of them; fewer when it
    // has no more.
    [[nodiscard]] virtual AccessibleChildList Children(std::uint32_t object, std::size_t first,
                                                       std::size_t count) = 0;
    // Refused: the object says it has no such simple child (its count claimed more than it has).
    [[nodiscard]] virtual AccessibleFacts Facts(AccessibleNode node, std::size_t maxUnits) = 0;
    [[nodiscard]] virtual AccessibleValue Value(AccessibleNode node, std::size_t maxUnits) = 0;
};
