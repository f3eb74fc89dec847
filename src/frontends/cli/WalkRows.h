// The walk's rows as a command line's command takes them: one at a time, the class name and text
// of the window being walked kept until the walk tells of it, and a text read again later handed
// to the row it belongs to.
#pragma once

#include <cstddef>

#include "core/RowSink.h"
#include "core/RowTable.h"
#include "extraction/ChildWalk.h"

class WalkRows : public RowSink, public WalkObserver {
public:
    void Clear() override {}
    std::size_t AppendRow(Text firstCell) override {
        m_className = std::move(firstCell);
        m_text.clear();
        return ++m_rows;
    }
    void SetCell(std::size_t row, int index, Text text) override {
        if (index != kTextColumn) {
            return;
        }
        if (row > m_walkedRows) {
            m_text = std::move(text);
        } else {
            TextReadAgain(row, std::move(text));
        }
    }

protected:
    // The text of a row the walk told of already, read again at its end.
    virtual void TextReadAgain(std::size_t row, Text text) = 0;
    // Called at the start of WindowWalked: the row is complete, and its class name and text
    // are taken once each.
    void RowWalked(const WalkedWindow& walked) noexcept { m_walkedRows = walked.row; }
    [[nodiscard]] Text TakeClassName() noexcept { return std::move(m_className); }
    [[nodiscard]] Text TakeText() noexcept { return std::move(m_text); }

private:
    // The window being walked.
    Text m_className;
    Text m_text;
    std::size_t m_rows = 0;
    std::size_t m_walkedRows = 0;
};
