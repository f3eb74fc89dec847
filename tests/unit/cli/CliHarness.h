// tessivane-cli run in memory: its command line, on a fake desktop, with its standard output,
// standard error and files recorded.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/CommandLine.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRemoteItems.h"
#include "fakes/FakeServices.h"
#include "ports/Console.h"

class RecordingConsole : public Console {
public:
    void Out(std::string_view utf8) override {
        if (closedOut) {
            throw OutputClosed(u"The pipe is being closed.");
        }
        if (failOut) {
            throw Failure(u"There is not enough space on the disk.");
        }
        out += utf8;
    }
    void Error(std::string_view utf8) noexcept override { error += utf8; }
    std::size_t TextWidth() const noexcept override { return width; }

    std::size_t width = kDefaultTextWidth;
    std::string out;
    std::string error;
    bool failOut = false;    // the output cannot be written
    bool closedOut = false;  // the output's reader has gone
};

// The fake items answer for the desktop's windows: each control is a desktop window too.
class DesktopItems : public RemoteItems {
public:
    // A window of the desktop that is the control fake names.
    void Link(WindowHandle window, WindowHandle fake) { m_controls[window] = fake; }

    RemoteNumber Count(WindowHandle control, ItemCount query) override {
        return fake.Count(Of(control), query);
    }
    bool KeepsStrings(WindowHandle control, ItemsKind kind) override {
        return fake.KeepsStrings(Of(control), kind);
    }
    RemoteTexts ListTexts(WindowHandle control, ItemsKind kind, std::size_t first,
                          std::size_t count, std::size_t maxUnits) override {
        return fake.ListTexts(Of(control), kind, first, count, maxUnits);
    }
    RemoteNumber ListViewColumnWidth(WindowHandle control, int column) override {
        return fake.ListViewColumnWidth(Of(control), column);
    }
    RemoteNumber TreeItem(WindowHandle control, TreeStep step, std::uint64_t item) override {
        return fake.TreeItem(Of(control), step, item);
    }
    RemoteTexts ItemTexts(WindowHandle control, ItemText what, std::span<const ItemRef> items,
                          std::size_t maxUnits) override {
        return fake.ItemTexts(Of(control), what, items, maxUnits);
    }
    RemoteNumber MenuBar(WindowHandle window) override { return fake.MenuBar(Of(window)); }
    RemoteNumber MenuItemCount(std::uint64_t menu) override { return fake.MenuItemCount(menu); }
    RemoteMenuItem MenuItemAt(std::uint64_t menu, int index, std::size_t maxUnits) override {
        return fake.MenuItemAt(menu, index, maxUnits);
    }
    RemoteTexts ConsoleLines(WindowHandle console, std::size_t maxUnits) override {
        return fake.ConsoleLines(Of(console), maxUnits);
    }
    RemoteNumber AccessibleChildCount(WindowHandle window) override {
        return fake.AccessibleChildCount(Of(window));
    }
    std::optional<RemoteNumber> KnownAccessibleChildCount(WindowHandle window) override {
        return fake.KnownAccessibleChildCount(Of(window));
    }
    std::unique_ptr<AccessibleTree> OpenAccessibleTree(WindowHandle window,
                                                       RemoteEnd& end) override {
        return fake.OpenAccessibleTree(Of(window), end);
    }

    FakeRemoteItems fake;

private:
    WindowHandle Of(WindowHandle control) const {
        const auto found = m_controls.find(control);
        return found == m_controls.end() ? 0 : found->second;
    }

    std::map<WindowHandle, WindowHandle> m_controls;
};

struct CliHarness {
    FakeDesktop desktop;
    DesktopItems items;
    FakeSaveFiles files;
    FakeFiles readFiles;
    RecordingConsole console;
    // The command's clock: it moves on by tick each time it is read.
    std::chrono::steady_clock::time_point now;
    std::chrono::milliseconds tick{0};
    // What watch hears of the desktop's changes.
    WindowEvents* events = nullptr;

    // A child window of that class, text and control id, last among parent's children.
    WindowHandle AddControl(WindowHandle parent, Text className, Text text, std::int64_t id) {
        const WindowHandle window =
            desktop.Add(parent, FakeDesktop::Make(std::move(className), std::move(text)));
        desktop.At(window).controlId = id;
        return window;
    }

    // Runs the command line as the program does; answers the exit code.
    int Run(const std::vector<std::string>& arguments) {
        const ParsedCommandLine parsed = ParseCommandLine(arguments);
        if (!parsed.request) {
            return PrintParsed(parsed, console);
        }
        return RunOn(*parsed.request, console);
    }

    // Runs the request as the program does, its output on output; answers the exit code.
    int RunOn(const CliRequest& request, Console& output) {
        CliServices services{
            desktop, desktop, items, files, readFiles, output, [this] { return now += tick; }};
        services.events = events;
        return RunRequest(request, services);
    }
};
