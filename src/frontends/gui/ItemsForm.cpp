// The items window's behaviour.
#include "gui/ItemsForm.h"

#include <string>

#include "core/Delimited.h"
#include "core/Failure.h"
#include "core/RowTable.h"
#include "core/Steps.h"
#include "export/ClipboardCopy.h"
#include "gui/RememberedSettings.h"
#include "items/ItemsDelimited.h"
#include "items/ItemsReader.h"

namespace {

// The cell of a results row that names its window's class; kHandleColumn holds its handle.
constexpr std::size_t kClassCell = 0;

constexpr TextView kTitleSeparator = u" \u2014 ";

// The name under which the save dialog's last folder is kept.
constexpr TextView kItemsFileDialog = u"ItemsFile";

// "1 item", "25 items".
template <typename Count>
Text Quantity(Count count, TextView noun) {
    return DecimalText(static_cast<std::int64_t>(count)) + u" " + Text(noun) +
           (count == 1 ? u"" : u"s");
}

// Why a read that did not end as "read" holds what it holds.
Text StatusSentence(const ItemsTable& table) {
    switch (table.status) {
        case ItemsStatus::Read:
            return {};
        case ItemsStatus::TimedOut:
            return u"The control stopped answering: the items after these are missing.";
        case ItemsStatus::Gone:
            return u"The control has closed: the items after these are missing.";
        case ItemsStatus::Changed:
            return u"The items changed while they were read: Refresh reads them again.";
        case ItemsStatus::NoTexts:
            return u"The control draws its items itself and keeps no texts to read (it has " +
                   Quantity(table.claimed, u"item") + u").";
        case ItemsStatus::NoText: {
            Text sentence = NoTextSentence(table.Rows()) + u".";
            sentence.front() = u'T';
            return sentence;
        }
        case ItemsStatus::Capped:
            return (table.claimed > 0
                        ? u"The control claims " + Quantity(table.claimed, u"item") + u"; a"
                        : Text(u"A")) +
                   u" read takes the first " + DecimalText(static_cast<std::int64_t>(kItemsCap)) +
                   u".";
        case ItemsStatus::Denied:
            return u"The control belongs to a program running with higher rights: run the tool as "
                   u"administrator to read its items.";
        case ItemsStatus::NotReadable:
            return u"This system does not let other programs read menus.";
        case ItemsStatus::TooDeep:
            return u"The tree goes deeper than " + DecimalText(kDeepestAccessible) +
                   u" levels: the objects below are left out.";
        case ItemsStatus::Looped:
            return u"An object named itself or the object holding it as its child: that child is "
                   u"left out.";
        case ItemsStatus::Malformed:
            return u"The program gave answers of the wrong type, or claimed children it does not "
                   u"have: they are left out.";
    }
    return {};
}

// The window a row names and the kind of its items; nothing for a row without items.
std::optional<std::pair<WindowHandle, ItemsKind>> ItemsOfRow(std::span<const Text> cells,
                                                             RemoteItems& remote,
                                                             AccessibleProbe probe) {
    if (cells.size() <= kHandleColumn) {
        return std::nullopt;
    }
    WindowHandle window = 0;
    try {
        window = ParseHandle(cells[kHandleColumn]);
    } catch (const Failure&) {
        return std::nullopt;
    }
    const std::optional<ItemsKind> kind =
        ItemsKindOfWindow(window, cells[kClassCell], remote, probe);
    if (!kind) {
        return std::nullopt;
    }
    return std::pair{window, *kind};
}

}  // namespace

bool RowMayHaveItems(std::span<const Text> cells, RemoteItems& remote) {
    return ItemsOfRow(cells, remote, AccessibleProbe::Known).has_value();
}

std::optional<ItemsSource> ItemsSourceOfRow(std::span<const Text> cells, RemoteItems& remote) {
    const auto items = ItemsOfRow(cells, remote, AccessibleProbe::Ask);
    if (!items) {
        return std::nullopt;
    }
    const auto [control, kind] = *items;
    const RemoteNumber count = AskItemCount(control, kind, remote);
    ItemsSource source{control, cells[kClassCell], kind, count.value, std::nullopt};
    if (count.end == RemoteEnd::Denied) {
        source.unreadable = ItemsStatus::Denied;
    } else if (count.end == RemoteEnd::Refused && kind == ItemsKind::Menu) {
        source.unreadable = ItemsStatus::NotReadable;
    } else if (count.end != RemoteEnd::Answered) {
        return std::nullopt;
    } else if (KeepsNoTexts(control, kind, remote)) {
        source.unreadable = ItemsStatus::NoTexts;
    }
    return source;
}

Text ItemsTip(const ItemsSource& source) {
    const Text kind = ItemsKindName(source.kind) + u": ";
    const Text count = source.count == 0 ? Text(u"no items") : Quantity(source.count, u"item");
    switch (source.unreadable.value_or(ItemsStatus::Read)) {
        case ItemsStatus::Denied:
            return kind +
                   u"its program runs with higher rights: run the tool as administrator to read "
                   u"its items.";
        case ItemsStatus::NotReadable:
            return kind + u"this system does not let other programs read menus.";
        case ItemsStatus::NoTexts:
            return kind + count + u", drawn by the control itself with no texts to read.";
        default:
            break;
    }
    const bool many = source.count > 1;
    return kind + count + u". Press Enter or double-click to open " + (many ? u"them." : u"it.");
}

// Passes every call on to the services' port until the read is to stop; from then on each call
// ends as Gone at once, so the reader ends as it does when a control goes away.
class ItemsForm::StoppableRemote final : public RemoteItems {
public:
    StoppableRemote(RemoteItems& remote, const std::atomic<bool>& stop) noexcept
        : m_remote(remote), m_stop(stop) {}

    RemoteNumber Count(WindowHandle control, ItemCount query) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_remote.Count(control, query);
    }
    bool KeepsStrings(WindowHandle control, ItemsKind kind) override {
        return m_stop || m_remote.KeepsStrings(control, kind);
    }
    RemoteTexts ListTexts(WindowHandle control, ItemsKind kind, std::size_t first,
                          std::size_t count, std::size_t maxUnits) override {
        return m_stop ? Stopped() : m_remote.ListTexts(control, kind, first, count, maxUnits);
    }
    RemoteNumber ListViewColumnWidth(WindowHandle control, int column) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone}
                      : m_remote.ListViewColumnWidth(control, column);
    }
    RemoteNumber TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_remote.TreeItem(control, step, item);
    }
    RemoteTexts ItemTexts(WindowHandle control, ItemText what, std::span<const ItemRef> items,
                          std::size_t maxUnits) override {
        return m_stop ? Stopped() : m_remote.ItemTexts(control, what, items, maxUnits);
    }
    RemoteTexts ConsoleLines(WindowHandle console, std::size_t maxUnits) override {
        return m_stop ? Stopped() : m_remote.ConsoleLines(console, maxUnits);
    }
    RemoteNumber MenuBar(WindowHandle window) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_remote.MenuBar(window);
    }
    RemoteNumber MenuItemCount(std::uint64_t menu) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_remote.MenuItemCount(menu);
    }
    RemoteMenuItem MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) override {
        return m_stop ? RemoteMenuItem{{}, RemoteEnd::Gone, false}
                      : m_remote.MenuItemAt(menu, index, maxUnits);
    }
    RemoteNumber AccessibleChildCount(WindowHandle window) override {
        return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_remote.AccessibleChildCount(window);
    }
    std::optional<RemoteNumber> KnownAccessibleChildCount(WindowHandle window) override {
        return m_remote.KnownAccessibleChildCount(window);
    }
    std::unique_ptr<AccessibleTree> OpenAccessibleTree(WindowHandle window,
                                                       RemoteEnd& end) override {
        if (m_stop) {
            end = RemoteEnd::Gone;
            return nullptr;
        }
        std::unique_ptr<AccessibleTree> tree = m_remote.OpenAccessibleTree(window, end);
        return tree ? std::make_unique<StoppableTree>(std::move(tree), m_stop) : nullptr;
    }

private:
    // The tree's calls, each ending as Gone at once from the stop on.
    class StoppableTree final : public AccessibleTree {
    public:
        StoppableTree(std::unique_ptr<AccessibleTree> tree, const std::atomic<bool>& stop) noexcept
            : m_tree(std::move(tree)), m_stop(stop) {}

        RemoteNumber ChildCount(std::uint32_t object) override {
            return m_stop ? RemoteNumber{0, RemoteEnd::Gone} : m_tree->ChildCount(object);
        }
        AccessibleChildList Children(std::uint32_t object, std::size_t first,
                                     std::size_t count) override {
            return m_stop ? AccessibleChildList{{}, 0, RemoteEnd::Gone}
                          : m_tree->Children(object, first, count);
        }
        AccessibleFacts Facts(AccessibleNode node, std::size_t maxUnits) override {
            AccessibleFacts stopped;
            stopped.end = RemoteEnd::Gone;
            return m_stop ? stopped : m_tree->Facts(node, maxUnits);
        }
        AccessibleValue Value(AccessibleNode node, std::size_t maxUnits) override {
            return m_stop ? AccessibleValue{{}, 0, RemoteEnd::Gone} : m_tree->Value(node, maxUnits);
        }

    private:
        std::unique_ptr<AccessibleTree> m_tree;
        const std::atomic<bool>& m_stop;
    };

    static RemoteTexts Stopped() {
        RemoteTexts none;
        none.end = RemoteEnd::Gone;
        return none;
    }

    RemoteItems& m_remote;
    const std::atomic<bool>& m_stop;
};

ItemsForm::ItemsForm(ItemsSource source, ItemsFormServices services,
                     std::function<void()> readEnded)
    : m_source(std::move(source)),
      m_services(services),
      m_readEnded(std::move(readEnded)),
      m_table(m_source.kind, {}),
      m_remote(std::make_unique<StoppableRemote>(m_services.remote, m_stopReading)) {}

ItemsForm::~ItemsForm() {
    if (m_reading.valid()) {
        StopReading();
        m_reading.wait();
    }
}

void ItemsForm::Refresh() {
    if (Reading()) {
        return;
    }
    m_stopReading = false;
    try {
        m_reading = std::async(std::launch::async, [this] {
            // Told as the reading function returns, whether it read or failed.
            struct EndNotice {
                std::function<void()>& readEnded;
                ~EndNotice() {
                    if (readEnded) {
                        readEnded();
                    }
                }
            } notice{m_readEnded};
            return ReadItems(m_source.control, m_source.kind, *m_remote);
        });
        m_readFailure.clear();
    } catch (...) {
        m_readFailure = DescribeFailure(std::current_exception());
    }
}

void ItemsForm::TakeRead() {
    if (!Reading()) {
        return;
    }
    try {
        m_table = m_reading.get();
        m_read = true;
    } catch (...) {
        m_readFailure = DescribeFailure(std::current_exception());
    }
}

Text ItemsForm::Title() const {
    Text title = u"Items of " + m_source.className + u" " + DecimalText(m_source.control) +
                 Text(kTitleSeparator);
    if (!m_read) {
        return title + (Reading() ? u"reading" : u"not read");
    }
    title += Quantity(m_table.Rows(), u"item");
    if (m_table.status != ItemsStatus::Read) {
        title += u", " + ItemsStatusText(m_table.status);
    }
    return title;
}

Text ItemsForm::ReadNote() const {
    if (Reading()) {
        return u"Reading the items\u2026";
    }
    if (!m_readFailure.empty()) {
        return u"The items could not be read. " + m_readFailure;
    }
    if (!m_read) {
        return {};
    }
    Text note = Quantity(m_table.Rows(), u"item") + u".";
    if (const Text why = StatusSentence(m_table); !why.empty()) {
        note += u" " + why;
    }
    if (m_table.cutTexts != 0) {
        const bool one = m_table.cutTexts == 1;
        note += u" " + Quantity(m_table.cutTexts, u"text") +
                (one ? u" was longer than " : u" were longer than ") +
                DecimalText(static_cast<std::int64_t>(kItemTextCap)) +
                (one ? u" characters: it is cut there." : u" characters: they are cut there.");
    }
    return note;
}

template <typename Command>
void ItemsForm::RunCommand(Command&& command) {
    m_commandNote.clear();
    try {
        std::forward<Command>(command)();
    } catch (...) {
        try {
            m_services.dialogs.ShowErrorReport(DescribeFailure(std::current_exception()));
        } catch (...) {
            // No exception may cross the window procedure that runs the command, and nothing is
            // left to show it with: the window stays as it is.
        }
    }
}

void ItemsForm::Copy(std::span<const std::size_t> rows) {
    RunCommand([&] {
        const Text text = ItemsDelimitedText(m_table, Delimiter::Tab, rows);
        if (!SetClipboardText(m_services.clipboard, text, 0)) {
            throw Failure(
                u"The clipboard is in use by another program. Close that program's copy or "
                u"paste, then copy again.");
        }
        m_commandNote = Quantity(rows.empty() ? m_table.Rows() : rows.size(), u"row") +
                        u" copied to the clipboard.";
    });
}

void ItemsForm::SaveAs() {
    RunCommand([&] {
        SaveDialogRequest request;
        request.fileName =
            u"Items of " + ItemsKindName(m_source.kind) + u" " + DecimalText(m_source.control);
        request.title = u"Save Items As";
        request.filter = Text(kItemsFileTypes);
        request.defaultExtension = Text(kCsvExtension.substr(1));
        request.flags = SaveDialogFlag::kNewFile;
        RememberedSettings remembered(m_services.settings);
        request.initialFolder = remembered.SaveFolder(kItemsFileDialog);
        const Text path = m_services.dialogs.ShowSaveDialog(request);
        if (path.empty()) {
            return;
        }
        remembered.SetSaveFolderOf(kItemsFileDialog, path);
        // UTF-8 with its byte order mark, so that a spreadsheet application opening the file
        // reads it as UTF-8 rather than in the system's code page. The file's extension decides
        // its delimiter, whichever type the dialog showed when it was typed.
        std::string bytes(kUtf8ByteOrderMark);
        bytes += TextToUtf8(
            ItemsDelimitedText(m_table, HasCsvExtension(path) ? Delimiter::Comma : Delimiter::Tab));
        const std::unique_ptr<SaveFile> file = m_services.saveFiles.Open(path);
        file->Write(bytes);
        file->Commit();
        m_commandNote = Quantity(m_table.Rows(), u"row") + u" saved as " + path + u".";
    });
}
