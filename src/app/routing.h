// The main window's life: creation, the routing of every command, timer ticks, closing.
#pragma once

namespace zel {

struct AppState;

// Window creation: sets up all state in its fixed order and takes the saved rectangle.
void StartUp(AppState& app);

// Every command goes through here, whatever its source; notification is kFromClick or
// kFromAccelerator.
void RouteCommand(AppState& app, int commandId, int notification);

// A key has been released (auto-repeat releases do not count).
void NoteKeyReleased(AppState& app);

// A tick of the one timer.
void TimerTick(AppState& app);

// The window is closing: store the settings and end the run.
void CloseMainWindow(AppState& app);

// Shows the message of a timer that cannot be armed.
void ReportTimerFailure(AppState& app);

}  // namespace zel
