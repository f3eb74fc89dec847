// A row table that no screen shows, for the aligned text the command line prints: the results
// list's own rendering, without a window.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/RowTable.h"
#include "ports/EventPump.h"

class HeadlessDisplay final : public RowTableDisplay {
public:
    void ColumnAppended(const Text&) override {}
    void ColumnWidthSet(int, int) override {}
    void RowsChanged(std::size_t, bool) override {}
    [[nodiscard]] std::optional<std::size_t> SelectedIndex() const override { return std::nullopt; }
    void SelectIndex(std::size_t) override {}
};

// No window waits for its events while the command line renders.
class NoEvents final : public EventPump {
public:
    void Pump() override {}
    void PumpFor(std::chrono::milliseconds) override {}
    void Wake() noexcept override {}
};

// Every row of the table as "Copy Results To Clipboard" makes the ticked ones, in UTF-8.
[[nodiscard]] std::string AlignedTextOfAllRows(RowTable& table);

// Aligned columns under a line of captions, as the results list's copy aligns its rows; cells in
// UTF-8.
[[nodiscard]] std::string AlignedTable(std::span<const TextView> captions,
                                       const std::vector<std::vector<std::string>>& rows);
