// The main window's behaviour on doubles of every port, for the command tests.
#pragma once

#include "app/Form1.h"
#include "fakes/FakeAutomation.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeServices.h"

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
    FakeListDisplay display1;
    FakeListDisplay display2;
    ListView listView1{display1};
    ListView listView2{display2};

    [[nodiscard]] Form1 MakeForm(TextView productName = kProductName) {
        return Form1(
            listView1, listView2,
            {window, dialogs, files, desktop, clipboard, pump, saveFiles, automation, skin},
            productName);
    }
};
