#pragma once
// The program's windows, by name; see windows.cpp.

namespace corvane {

class WindowRegistry;

void registerProgramWindows(WindowRegistry &windows);

}  // namespace corvane
