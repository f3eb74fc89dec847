// The adapters of the window's services in one include: dialogs, clipboard, files, save files.
#pragma once

#include "win32/Win32Clipboard.h"
#include "win32/Win32Dialogs.h"
#include "win32/Win32Files.h"
#include "win32/Win32SaveFiles.h"
