// The main window's behaviour on doubles of every port, for the command tests.
#pragma once

#include "fakes/FakeAutomation.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRemoteItems.h"
#include "fakes/FakeServices.h"
#include "gui/MainForm.h"

struct FormHarness {
    FakeDesktop desktop;
    RecordingDialogs dialogs;
    FakeFormWindow window;
    FakeFiles files;
    FakeClipboard clipboard;
    FakePump pump;
    FakeSaveFiles saveFiles;
    FakeAutomation automation;
    RecordingSkinEngine skin;
    FakeSettings settings;
    FakeRemoteItems items;
    FakeRowTableDisplay windowListDisplay;
    FakeRowTableDisplay resultsDisplay;
    RowTable windowList{windowListDisplay};
    RowTable results{resultsDisplay};

    [[nodiscard]] MainForm MakeForm(TextView productName = kProductName, TextView version = u"") {
        return MainForm(windowList, results,
                        {window, dialogs, files, desktop, clipboard, pump, saveFiles, automation,
                         skin, settings, items},
                        productName, version);
    }
    // A results row as the walk gives it, ticked or not.
    void AddResultRow(Text className, Text handle, Text text, bool ticked) {
        const std::size_t row = results.AppendRow(std::move(className));
        results.SetCell(row, 1, std::move(handle));
        results.SetCell(row, 2, std::move(text));
        results.SetChecked(row, ticked);
    }
};
