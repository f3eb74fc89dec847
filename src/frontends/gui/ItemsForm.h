// The items window's behaviour: which results rows open it, its title and status notes, and its
// commands (Copy, Save As, Refresh) on the items of one control, read through the ports.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/Text.h"
#include "items/ItemsTable.h"
#include "ports/Clipboard.h"
#include "ports/Dialogs.h"
#include "ports/RemoteItems.h"
#include "ports/SaveFiles.h"
#include "ports/Settings.h"

// A control whose items can be read: what a results row names, confirmed by the control itself.
struct ItemsSource {
    WindowHandle control = 0;
    Text className;
    ItemsKind kind = ItemsKind::ListBox;
    // How many items the control said it had when it was asked.
    std::int64_t count = 0;
    // Why the items cannot be read, known before any read: NoTexts (the control draws them
    // itself), Denied (its program runs with higher rights; count is unknown) or NotReadable (the
    // system does not let other programs read them). A read then says the same.
    std::optional<ItemsStatus> unreadable;
};

// The control that a results row (class name, handle, text) names, when it has items: its class
// is one whose items can be read, it is a top-level window with a menu bar, or its program answers
// for it with an accessible tree of its own, and it answers its count, or the system refuses it for
// access or refuses to let its menu be read. Nothing otherwise; a class without items costs no
// message.
[[nodiscard]] std::optional<ItemsSource> ItemsSourceOfRow(std::span<const Text> cells,
                                                          RemoteItems& remote);

// True when a results row's class is one whose items can be read, its window is a top-level window
// with a menu bar, or its program answers for it with an accessible tree of its own: the row is
// marked as one that opens. Asks no message: the last is the answer the walk had from the window
// (see BackgroundWalk).
[[nodiscard]] bool RowMayHaveItems(std::span<const Text> cells, RemoteItems& remote);

// The info tip of a results row whose control has items: what it holds and how to open them.
[[nodiscard]] Text ItemsTip(const ItemsSource& source);

struct ItemsFormServices {
    // Used by the reading thread only, while a read runs.
    RemoteItems& remote;
    Clipboard& clipboard;
    Dialogs& dialogs;
    SaveFiles& saveFiles;
    // Where the save dialog's last folder is kept.
    Settings& settings;
};

class ItemsForm {
public:
    // readEnded runs on the reading thread as each read ends; the window then calls TakeRead on
    // its own thread.
    ItemsForm(ItemsSource source, ItemsFormServices services, std::function<void()> readEnded);
    // A read still running (the window closed while the program ends) is stopped and waited for.
    ~ItemsForm();
    ItemsForm(const ItemsForm&) = delete;
    ItemsForm& operator=(const ItemsForm&) = delete;

    [[nodiscard]] const ItemsSource& Source() const noexcept { return m_source; }
    // The items shown: those of the last read taken, none before it.
    [[nodiscard]] const ItemsTable& Table() const noexcept { return m_table; }
    [[nodiscard]] bool Reading() const noexcept { return m_reading.valid(); }

    // Reads the control's items again on a reading thread, unless a read is running.
    void Refresh();
    // Waits for the running read to end (at once after readEnded) and shows what it read.
    void TakeRead();
    // Ends the running read once the round of items it is reading is in, as if the control had
    // gone; from any thread.
    void StopReading() noexcept { m_stopReading = true; }

    // "Items of SysListView32 1234 — 25 items", with the read's end when it is not "read".
    [[nodiscard]] Text Title() const;
    // The read's note for the status line: how many items, and what is missing and why.
    [[nodiscard]] Text ReadNote() const;
    // What the last command did, for the status line; empty before the first.
    [[nodiscard]] const Text& CommandNote() const noexcept { return m_commandNote; }

    // Puts the given rows (0-based, in that order), or all rows when none are given, on the
    // clipboard as tab-separated Unicode text under a line of captions. A failure is shown in one
    // box.
    void Copy(std::span<const std::size_t> rows);
    // Asks for a file and writes every row to it as UTF-8 text: comma-separated when its name ends
    // in ".csv", tab-separated otherwise. A failure is shown in one box; the file is then left as
    // it was.
    void SaveAs();

private:
    class StoppableRemote;

    // Runs a command, showing its failure in one box.
    template <typename Command>
    void RunCommand(Command&& command);

    ItemsSource m_source;
    ItemsFormServices m_services;
    std::function<void()> m_readEnded;
    ItemsTable m_table;
    bool m_read = false;
    Text m_readFailure;
    Text m_commandNote;
    std::atomic<bool> m_stopReading{false};
    // The reading thread's port: the services' own until the read is stopped.
    std::unique_ptr<StoppableRemote> m_remote;
    std::future<ItemsTable> m_reading;
};

// The save dialog's offer of file types, and the first line of a UTF-8 file: its byte order mark,
// by which spreadsheet applications know the file's encoding.
inline constexpr TextView kItemsFileTypes =
    u"CSV (UTF-8) (*.csv)|*.csv|Tab-separated text (UTF-8) (*.txt)|*.txt|";
