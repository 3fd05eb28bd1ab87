// Services of the operating system that the game needs, in one place.
//
// Everything here is implemented once in platform/ on SDL2 and the C++
// standard library; no other folder sees an SDL type or calls the OS for
// these. Environment variables are read only here, and only for tests
// (see the test hooks at the end): with none set the game behaves as it
// would without them.
#pragma once

#include <cstdint>
#include <string>

// ---- Clock -------------------------------------------------------------

// Milliseconds since an arbitrary start, 32 bits, wrapping after ~49 days.
// The frame clock takes differences of two readings, so the wrap is harmless.
uint32_t Sys_Milliseconds();

// Suspends the calling thread for at least the given milliseconds.
void Sys_Sleep(uint32_t milliseconds);

// High-resolution counter and its ticks per second, for profiling only.
uint64_t Sys_PerformanceCounter();
uint64_t Sys_PerformanceFrequency();

// ---- Files and folders -------------------------------------------------

// The user's documents folder: the XDG documents folder, else $HOME/Documents.
// Never ends with a slash. Empty when no home folder is known.
std::string Sys_DocumentsFolder();

// Creates a folder and any missing parents. True when it exists afterwards.
bool Sys_MakeFolder(const std::string& path);

// ---- Messages to the player --------------------------------------------

enum class MessageIcon { Information, Exclamation, Stop };

// Shows a modal message box and returns when the player dismissed it. In a
// non-interactive run (tests) it prints "caption: text" on stderr instead.
void Sys_MessageBox(const char* caption, const char* text, MessageIcon icon);

// Opens a local web page (path relative to the working folder) in the
// default browser, through xdg-open where it exists. Never in a test run.
void Sys_OpenWebPage(const char* path);

// ---- Test hooks ----------------------------------------------------------

// Appends one line "<kind> <detail>" to the trace file named by the test
// environment (screen switches, loader statuses, sounds played). Does
// nothing when no trace was asked for. Safe to call from either thread.
void Sys_Trace(const char* kind, const char* detail);

// The fixed random seed asked for by a test, or -1 when none was asked for.
int64_t Sys_FixedSeed();
