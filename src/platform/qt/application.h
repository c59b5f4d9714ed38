// What the program sets up around its window, shared by the program and its benchmark.
#pragma once

#include <string>

namespace zel {

// The window icon, the default face, Qt's own texts in Japanese. After QApplication exists.
void PrepareApplication();

// "zel.ini" in the user's configuration directory, the same file for every run.
std::string SettingsPath();

}  // namespace zel
