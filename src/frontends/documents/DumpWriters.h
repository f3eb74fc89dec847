// The dump's formats that are written as the walk goes: JSON (the tree nested as it is on
// screen), JSON lines (an object per window) and one row per window as CSV or tab-separated text.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/Text.h"
#include "documents/Cells.h"
#include "documents/DumpTally.h"
#include "documents/JsonText.h"
#include "documents/Output.h"
#include "items/ItemsTable.h"
#include "ports/WindowDetails.h"

enum class WindowStatus {
    Read,      // class, text and state read whole
    TimedOut,  // the window did not answer in time: its text is empty
    Cut,       // the text was longer than the cap, or than what its window wrote: what came
    Changing,  // the text changed on every attempt to read it whole: the last attempt's
    Gone,      // the window vanished after its class was read: no state
    Denied,    // the window's program runs with higher rights and refused its text: it is empty
};

struct DumpedWindow {
    WindowHandle handle = 0;
    WindowHandle parent = 0;  // 0 for the dump's first window
    int depth = 0;
    TextView path;         // from the dumped window, which the selector names
    bool pathCut = false;  // over the walk's longest: the path is empty
    TextView className;
    TextView text;
    // The window's style bits: whether a static shows "&" as it is.
    std::uint32_t style = 0;
    // The ordinal of the resource its text names (an icon or bitmap static's), text saying what
    // it stands for.
    std::optional<std::uint16_t> resource;
    std::optional<WindowFacts> facts;  // nothing once the window is gone
    bool visible = false;              // it and all its parents
    WindowStatus status = WindowStatus::Read;
    const ItemsTable* items = nullptr;  // with --items, for a control that has items
};

class DumpWriter {
public:
    virtual ~DumpWriter() = default;

    // Windows come in the walk's pre-order.
    virtual void Window(const DumpedWindow& window) = 0;
    // After the last window.
    virtual void End(const DumpTally& tally) = 0;
};

// The window's members as the JSON tree (without its "children") and the JSON lines (without
// "type") write them.
[[nodiscard]] Json WindowObject(const DumpedWindow& window);

[[nodiscard]] std::unique_ptr<DumpWriter> MakeJsonDumpWriter(Output& output);
[[nodiscard]] std::unique_ptr<DumpWriter> MakeJsonLinesDumpWriter(Output& output);
// withItems: three more columns for the controls' items.
[[nodiscard]] std::unique_ptr<DumpWriter> MakeDelimitedDumpWriter(Output& output, CellFormat format,
                                                                  bool withItems);
