// The main window's behaviour: its load and unload steps and the command handlers, on the two
// lists and the ports that the Win32 shell provides.
#pragma once

#include "app/Dialogs.h"
#include "app/ErrorReport.h"
#include "app/Files.h"
#include "app/FormWindow.h"
#include "app/ListView.h"
#include "app/Skin.h"
#include "common/Text.h"
#include "output/Automation.h"
#include "output/Ports.h"
#include "windows/WindowSystem.h"

inline constexpr TextView kProductName = u"Tessivane Window Text Reader 2021";

// The application title for a product name: its last word cut off, then further trailing
// words while it is longer than 40 code units. Throws when there is no blank to cut at.
[[nodiscard]] Text ApplicationTitleFor(TextView productName);

struct Form1Services {
    FormWindow& window;
    Dialogs& dialogs;
    Files& files;
    WindowSystem& windows;
    Clipboard& clipboard;
    EventPump& pump;
    SaveFiles& saveFiles;
    Automation& automation;
    SkinEngine& SkinFramework1;
};

class Form1 {
public:
    Form1(ListView& listView1, ListView& listView2, Form1Services services,
          TextView productName = kProductName);

    void Form_Load();
    void Form_Unload();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton6_Click();

    // Pointer feedback: the hand over the push buttons, the arrow over the window's surface and
    // the lists; neither replaces the hourglass of a long command.
    void PushButton_MouseMove();
    void Form_MouseMove();
    void ListView1_MouseMove();
    void ListView2_MouseMove();

    // True when a spreadsheet application can be started; tells the user when not.
    [[nodiscard]] bool SaveResultsAsExcelFileIsExcelInstalled();

    // The caption of every message box that names no title of its own.
    [[nodiscard]] const Text& ApplicationTitle() const noexcept { return m_applicationTitle; }

private:
    void SetApplicationTitle();
    void ApplySkin();
    void SetPointerUnlessBusy(int setting);
    void ExportRows(StepTrap& trap, const std::unique_ptr<AutomationObject>& workbook);

    ListView& ListView1;  // the window list
    ListView& ListView2;  // the results list
    Form1Services m_services;
    Text m_productName;
    Text m_applicationTitle;
};
