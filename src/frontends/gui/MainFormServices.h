// The ports that the main window's form logic works through.
#pragma once

#include "ports/Automation.h"
#include "ports/Clipboard.h"
#include "ports/Dialogs.h"
#include "ports/EventPump.h"
#include "ports/Files.h"
#include "ports/FormWindow.h"
#include "ports/RemoteItems.h"
#include "ports/SaveFiles.h"
#include "ports/Settings.h"
#include "ports/SkinEngine.h"
#include "ports/WindowSystem.h"

struct MainFormServices {
    FormWindow& window;
    Dialogs& dialogs;
    Files& files;
    WindowSystem& windows;
    Clipboard& clipboard;
    EventPump& pump;
    SaveFiles& saveFiles;
    Automation& automation;
    SkinEngine& skin;
    Settings& settings;
    // The walk's: it asks the windows that may draw their own controls for an accessible tree.
    RemoteItems& items;
};
