// Two moments of a tree of windows compared.
#include "documents/Snapshot.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <utility>

#include "core/Failure.h"
#include "finding/ControlPath.h"
#include "finding/HandleText.h"

namespace {

// A before window that no after window matches.
constexpr std::size_t kNoPartner = std::numeric_limits<std::size_t>::max();

[[noreturn]] void ThrowBadMember(const char* name, const char* problem) {
    throw Failure(u"the window's \"" + Utf8ToText(name) + u"\" " + Utf8ToText(problem));
}

const Json& Member(const Json& window, const char* name) {
    const auto found = window.find(name);
    if (found == window.end()) {
        ThrowBadMember(name, "is missing");
    }
    return *found;
}

Text TextMember(const Json& window, const char* name) {
    const Json& value = Member(window, name);
    if (!value.is_string()) {
        ThrowBadMember(name, "is not a text");
    }
    return Utf8ToText(value.get_ref<const std::string&>());
}

bool BooleanMember(const Json& window, const char* name) {
    const Json& value = Member(window, name);
    if (!value.is_boolean()) {
        ThrowBadMember(name, "is not true or false");
    }
    return value.get<bool>();
}

// A whole number from minimum to the largest handle; null is 0 where noneAllowed. problem says
// what it must be.
std::int32_t NumberMember(const Json& window, const char* name, std::int32_t minimum,
                          bool noneAllowed, const char* problem) {
    const Json& value = Member(window, name);
    if (noneAllowed && value.is_null()) {
        return 0;
    }
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    const bool fits = value.is_number_unsigned()
                          ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(kLargest)
                          : value.is_number_integer() && value.get<std::int64_t>() >= minimum &&
                                value.get<std::int64_t>() <= kLargest;
    if (!fits) {
        ThrowBadMember(name, problem);
    }
    return static_cast<std::int32_t>(value.get<std::int64_t>());
}

// Whether the window was there to be compared: a window gone before its state was read is not.
bool Present(const SnapshotWindow& window) {
    return window.status != "gone";
}

bool TextKnown(const SnapshotWindow& window) {
    return window.status != "timedOut" && window.status != "denied";
}

bool ItemsKnown(const SnapshotWindow& window) {
    if (!window.items) {
        return false;
    }
    const auto status = window.items->find("status");
    return status == window.items->end() ||
           (*status != "timedOut" && *status != "gone" && *status != "denied");
}

// For each after window, the index of the before window it is, or kNoPartner.
std::vector<std::size_t> Partners(const Snapshot& before, const Snapshot& after, MatchBy match) {
    std::vector<std::size_t> partners(after.size(), kNoPartner);
    std::vector<bool> taken(before.size(), false);
    // Each key's before windows in their order, taken from the front.
    const auto pair = [&](auto&& keyOf) {
        std::map<decltype(keyOf(before.front())), std::deque<std::size_t>> waiting;
        for (std::size_t index = 0; index < before.size(); ++index) {
            if (!taken[index] && Present(before[index])) {
                waiting[keyOf(before[index])].push_back(index);
            }
        }
        for (std::size_t index = 0; index < after.size(); ++index) {
            if (partners[index] != kNoPartner || !Present(after[index])) {
                continue;
            }
            const auto found = waiting.find(keyOf(after[index]));
            if (found != waiting.end() && !found->second.empty()) {
                partners[index] = found->second.front();
                taken[partners[index]] = true;
                found->second.pop_front();
            }
        }
    };
    if (match == MatchBy::PathThenHandle) {
        // A cut path finds no partner by itself: only the same window, by its handle.
        pair([](const SnapshotWindow& window) {
            return std::make_pair(window.path, window.pathCut ? window.handle : WindowHandle{0});
        });
    }
    pair([](const SnapshotWindow& window) {
        return std::make_pair(window.handle, FoldedClassName(window.className));
    });
    return partners;
}

void AddPairChanges(const SnapshotWindow& before, const SnapshotWindow& after,
                    std::vector<WindowChange>& changes) {
    const auto add = [&](ChangeKind kind) { changes.push_back({kind, &before, &after}); };
    if (TextKnown(before) && TextKnown(after) && before.text != after.text) {
        add(ChangeKind::Text);
    }
    if (ItemsKnown(before) && ItemsKnown(after) && *before.items != *after.items) {
        add(ChangeKind::Items);
    }
    if (before.visible != after.visible) {
        add(ChangeKind::Visible);
    }
    if (before.enabled != after.enabled) {
        add(ChangeKind::Enabled);
    }
}

}  // namespace

SnapshotWindow SnapshotWindowOf(const Json& window) {
    if (!window.is_object()) {
        throw Failure(u"a window is not a JSON object");
    }
    SnapshotWindow snapshot;
    constexpr std::int32_t kAnyHandle = std::numeric_limits<std::int32_t>::min();
    snapshot.handle = NumberMember(window, "handle", kAnyHandle, false,
                                   "is not a handle (a whole number of 32 bits)");
    snapshot.parent = NumberMember(window, "parent", kAnyHandle, true,
                                   "is neither a handle (a whole number of 32 bits) nor null");
    snapshot.depth = NumberMember(window, "depth", 0, false, "is not a whole number from 0");
    snapshot.path = TextMember(window, "path");
    const auto cut = window.find("pathCut");
    snapshot.pathCut = cut != window.end() && cut->is_boolean() && cut->get<bool>();
    snapshot.className = TextMember(window, "class");
    snapshot.text = TextMember(window, "text");
    snapshot.visible = BooleanMember(window, "visible");
    snapshot.enabled = BooleanMember(window, "enabled");
    snapshot.status = TextToUtf8(TextMember(window, "status"));
    if (const auto items = window.find("items"); items != window.end()) {
        if (!items->is_object()) {
            ThrowBadMember("items", "is not an object");
        }
        snapshot.items = *items;
    }
    snapshot.members = window;
    snapshot.members.erase("type");
    snapshot.members.erase("children");
    return snapshot;
}

std::vector<WindowChange> CompareSnapshots(const Snapshot& before, const Snapshot& after,
                                           MatchBy match) {
    const std::vector<std::size_t> partners = Partners(before, after, match);
    std::vector<bool> matched(before.size(), false);
    for (const std::size_t partner : partners) {
        if (partner != kNoPartner) {
            matched[partner] = true;
        }
    }
    // For each after window, the before window of the first one from it on that has a partner:
    // the removals before that one come first, as the lines of a diff say what went before what
    // came in its place.
    std::vector<std::size_t> nextPartner(after.size() + 1, before.size());
    for (std::size_t index = after.size(); index-- > 0;) {
        nextPartner[index] =
            partners[index] != kNoPartner ? partners[index] : nextPartner[index + 1];
    }
    std::vector<WindowChange> changes;
    // The before windows up to here have had their removals written.
    std::size_t removedUpTo = 0;
    const auto removeUpTo = [&](std::size_t end) {
        for (; removedUpTo < end; ++removedUpTo) {
            if (!matched[removedUpTo] && Present(before[removedUpTo])) {
                changes.push_back({ChangeKind::Removed, &before[removedUpTo], nullptr});
            }
        }
    };
    for (std::size_t index = 0; index < after.size(); ++index) {
        removeUpTo(nextPartner[index]);
        if (const std::size_t partner = partners[index]; partner != kNoPartner) {
            AddPairChanges(before[partner], after[index], changes);
        } else if (Present(after[index])) {
            changes.push_back({ChangeKind::Added, nullptr, &after[index]});
        }
    }
    removeUpTo(before.size());
    return changes;
}

const char* ChangeName(ChangeKind kind) noexcept {
    switch (kind) {
        case ChangeKind::Added:
            return "added";
        case ChangeKind::Removed:
            return "removed";
        case ChangeKind::Text:
            return "text";
        case ChangeKind::Items:
            return "items";
        case ChangeKind::Visible:
            return "visible";
        case ChangeKind::Enabled:
            break;
    }
    return "enabled";
}

Json ChangeObject(const WindowChange& change, const std::optional<std::string>& time) {
    const SnapshotWindow& window = change.after != nullptr ? *change.after : *change.before;
    Json object{{"type", "change"}};
    if (time) {
        object["time"] = *time;
    }
    object["change"] = ChangeName(change.kind);
    object["handle"] = window.handle;
    object["handleHex"] = HexHandle(window.handle);
    object["path"] = JsonString(window.path);
    object["class"] = JsonString(window.className);
    const auto oldAndNew = [&](auto&& valueOf) {
        object["old"] = valueOf(*change.before);
        object["new"] = valueOf(*change.after);
    };
    switch (change.kind) {
        case ChangeKind::Added:
            object["old"] = nullptr;
            object["new"] = window.members;
            break;
        case ChangeKind::Removed:
            object["old"] = window.members;
            object["new"] = nullptr;
            break;
        case ChangeKind::Text:
            oldAndNew([](const SnapshotWindow& side) { return JsonString(side.text); });
            break;
        case ChangeKind::Items:
            oldAndNew([](const SnapshotWindow& side) { return *side.items; });
            break;
        case ChangeKind::Visible:
            oldAndNew([](const SnapshotWindow& side) { return Json(side.visible); });
            break;
        case ChangeKind::Enabled:
            oldAndNew([](const SnapshotWindow& side) { return Json(side.enabled); });
            break;
    }
    return object;
}
