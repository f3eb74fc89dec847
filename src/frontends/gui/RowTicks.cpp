// The space bar's ticks on the results list.
#include "gui/RowTicks.h"

#include <algorithm>

bool ToggleTicksOfSelection(RowTable& rows, std::span<const std::size_t> selected,
                            std::optional<std::size_t> focused) {
    const auto exists = [&](std::size_t index) { return index < rows.RowCount(); };
    const bool focusedIsSelected =
        focused && std::find(selected.begin(), selected.end(), *focused) != selected.end();
    if (focused && !focusedIsSelected) {
        if (!exists(*focused)) {
            return false;
        }
        rows.SetChecked(*focused + 1, !rows.Checked(*focused + 1));
        return true;
    }
    const std::optional<std::size_t> leading =
        focused ? focused : (selected.empty() ? std::nullopt : std::optional(selected.front()));
    if (!leading || !exists(*leading)) {
        return false;
    }
    const bool tick = !rows.Checked(*leading + 1);
    for (const std::size_t index : selected) {
        if (exists(index)) {
            rows.SetChecked(index + 1, tick);
        }
    }
    return true;
}
