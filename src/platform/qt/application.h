// What the program sets up around its window, shared by the program and its benchmark.
#pragma once

#include <functional>
#include <string>

namespace zel {

// The window icon, the default face, Qt's own texts in Japanese. After QApplication exists.
void PrepareApplication();

// "zel.ini" in the user's configuration directory, the same file for every run; "" when the
// user has no home (HOME and XDG_CONFIG_HOME unset), and the settings are then not stored.
std::string SettingsPath();

// Runs action in the event loop when the process gets SIGTERM, SIGHUP or SIGINT, and when the
// desktop session ends, so the program can store its settings and end in order.
void OnTerminationRequest(std::function<void()> action);

}  // namespace zel
