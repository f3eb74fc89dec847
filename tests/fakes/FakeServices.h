// Recording doubles for the main window's ports.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/RowTable.h"
#include "ports/Clipboard.h"
#include "ports/Dialogs.h"
#include "ports/EventPump.h"
#include "ports/Files.h"
#include "ports/FormWindow.h"
#include "ports/SaveFiles.h"
#include "ports/Settings.h"
#include "skin/SkinFramework.h"

class RecordingDialogs : public Dialogs {
public:
    void ShowErrorReport(const Text& message) override {
        errorReports.push_back(message);
        if (errorReportFails) {
            throw std::runtime_error("the box could not be shown");
        }
    }
    bool ShowErrorReportOfferingToStop(const Text& message) override;
    void ShowInformation(const Text& message, const Text& caption) override {
        information.push_back({message, caption});
    }
    bool AskYesNo(const Text& question, const Text& caption) override;
    YesNoCancel AskYesNoCancel(const Text& question, const Text& caption) override;
    bool AskRetryCancel(const Text& warning, const Text& caption) override;
    Text ShowSaveDialog(const SaveDialogRequest& request) override;

    std::vector<Text> errorReports;
    // The error reports that offered Cancel, by their place among errorReports.
    std::vector<std::size_t> reportsOfferingToStop;
    // The user stops at this report offering Cancel (1 for the first); 0: never.
    std::size_t stopAtOffer = 0;
    std::vector<std::pair<Text, Text>> information;  // message, caption
    std::vector<std::pair<Text, Text>> questions;    // question, caption
    std::deque<bool> answers;                        // the user's answers, Yes first
    std::deque<YesNoCancel> threeWayAnswers;         // Cancel when none is left
    std::vector<std::pair<Text, Text>> warnings;     // warning, caption
    std::deque<bool> retries;                        // the user's answers, Retry first
    std::vector<SaveDialogRequest> saveRequests;
    Text chosenPath;  // empty: the user cancels
    bool errorReportFails = false;
};

class FakeRowTableDisplay : public RowTableDisplay {
public:
    void ColumnAppended(const Text&) override {}
    void ColumnWidthSet(int column, int twips) override { widths[column] = twips; }
    // Like the list control, drops the selection of rows that are replaced.
    void RowsChanged(std::size_t, bool replaced) override {
        ++changes;
        if (replaced) {
            selected.reset();
        }
    }
    std::optional<std::size_t> SelectedIndex() const override { return selected; }
    void SelectIndex(std::size_t index) override { selected = index; }

    std::map<int, int> widths;  // each column's width, as last set
    int changes = 0;
    std::optional<std::size_t> selected;
};

class FakeFormWindow : public FormWindow {
public:
    void SetCaption(const Text& text) override { caption = text; }
    void SetApplicationIcon() override { iconSet = true; }
    void SetCustomPointerImage(const Text& path) override;
    std::int32_t Handle() const override { return 0x30042; }
    void SetBackgroundColour(std::uint32_t colour) override { background = colour; }
    int MousePointer() const override { return pointer; }
    void SetMousePointer(int setting) override {
        pointer = setting;
        pointerHistory.push_back(setting);
    }
    void EndProgram() override { ended = true; }
    void SetBusy(bool busy, bool stoppable) override { busyHistory.push_back({busy, stoppable}); }
    void ShowStatusNote(const Text& note) override { statusNotes.push_back(note); }

    Text caption;
    bool iconSet = false;
    Text pointerImage;
    bool pointerImageLoads = true;
    std::uint32_t background = 0xFFFFFF;
    int pointer = 0;
    std::vector<int> pointerHistory;
    bool ended = false;
    std::vector<std::pair<bool, bool>> busyHistory;  // busy, stoppable
    std::vector<Text> statusNotes;
};

// Settings in memory: numbers and texts by name. A value of the other kind reads as none, as a
// registry value of another type does.
class FakeSettings : public Settings {
public:
    std::optional<std::int32_t> ReadNumber(TextView name) noexcept override;
    std::optional<Text> ReadText(TextView name) noexcept override;
    void WriteNumber(TextView name, std::int32_t value) noexcept override;
    void WriteText(TextView name, const Text& value) noexcept override;

    std::map<Text, std::variant<std::int32_t, Text>, std::less<>> values;
    bool failWrites = false;  // the store cannot be written: writes are dropped
};

class FakeFiles : public Files {
public:
    Text ApplicationFolder() override;
    bool FileExists(const Text& path) noexcept override {
        return existing.contains(path) || folders.contains(path);
    }
    bool FolderExists(const Text& path) noexcept override { return folders.contains(path); }
    bool OrdinaryFileExists(const Text& path) noexcept override { return ordinary.contains(path); }
    std::string ReadFile(const Text& path, std::size_t largestMegabytes) override;
    // One file under two spellings: a path and another that names the same file.
    bool SameFile(const Text& first, const Text& second) noexcept override {
        return first == second ? contents.contains(first) : aliases.contains({first, second});
    }

    bool folderUnknown = false;  // the program's own path cannot be read
    std::set<Text> existing;
    std::set<Text> folders;
    std::set<Text> ordinary;               // listed as ordinary files
    std::map<Text, std::string> contents;  // what ReadFile gives
    std::set<std::pair<Text, Text>> aliases;
};

// A clipboard that another program holds for the first busyAttempts attempts.
class FakeClipboard : public Clipboard {
public:
    bool TryEmpty() override;
    bool TryPlaceText(const Text& text, std::uint32_t format) override;
    void WaitBeforeRetry() override { ++waits; }

    int busyAttempts = 0;
    int attempts = 0;
    int waits = 0;
    std::optional<Text> content;
    std::uint32_t format = 0;
};

// Counts the pumps and can run the user's click at a given one.
class FakePump : public EventPump {
public:
    void Pump() override;
    void PumpFor(std::chrono::milliseconds) override { Pump(); }
    void Wake() noexcept override {}

    int pumps = 0;
    int actAt = -1;
    std::function<void()> action;
};

// Files in memory. The ANSI code page stands for code page 1252's Latin part: anything else
// becomes "?". With doubleByte it stands for a double-byte code page such as 932 instead: ASCII
// as it is, a character outside the BMP as one "?", every other character as two bytes.
class FakeSaveFiles : public SaveFiles {
public:
    std::unique_ptr<SaveFile> Open(const Text& path) override;
    void AppendAnsi(TextView text, std::string& bytes) override;
    // The text in the ANSI code page alone.
    [[nodiscard]] std::string Ansi(TextView text);
    // Counts the characters that the ANSI code page cannot hold, a surrogate pair as one.
    std::size_t CountUnwritableInAnsi(const Text& text) override;

    bool doubleByte = false;
    std::map<Text, std::string> files;
    std::set<Text> readOnly;
    bool failWrites = false;
};

// Gives a list its columns, as the load step does.
inline void AppendColumns(RowTable& list, std::initializer_list<TextView> headers) {
    for (const TextView header : headers) {
        list.AppendColumn(Text(header));
    }
}

// A skin engine that records the calls it is given.
class RecordingSkinEngine : public SkinEngine {
public:
    void Invoke(int dispatchId, const AutomationArguments& arguments) override;
    std::int32_t GetProperty(int dispatchId) override;
    void PutProperty(int dispatchId, const AutomationValue& value) override;

    std::vector<std::string> calls;
    bool failLoading = false;
};
