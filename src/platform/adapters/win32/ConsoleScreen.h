// The lines another program's console window shows. A process holds one console at a time, so
// they are read by a short-lived tessivane-cli.exe (the one beside the running program), started
// with the hidden option below, which attaches to that console and writes the lines as UTF-8.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>

#include "ports/RemoteItems.h"

// The helper's option, followed by the console window's handle in decimal and the most units a
// line may keep.
inline constexpr wchar_t kConsoleLinesOption[] = L"--console-lines";

// How long the helper may take, its start included, before it is ended and the read counts as
// timed out.
inline constexpr std::chrono::milliseconds kConsoleReadBound{5000};

// Reads the console window's lines through the helper.
[[nodiscard]] RemoteTexts ReadConsoleLines(HWND console, std::size_t maxUnits);

// The helper's side: attaches to the console that window shows (through the process that owns the
// window, or through each process until one shares that console), writes its visible lines to
// the standard output it was started with, a line each, and answers its exit code:
// kConsoleLinesRead, or kConsoleNotFound when no process shares that console.
[[nodiscard]] int WriteConsoleLines(HWND console, std::size_t maxUnits);

inline constexpr int kConsoleLinesRead = 0;
inline constexpr int kConsoleNotFound = 2;
