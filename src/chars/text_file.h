// Saving the typed line as a text file and loading a file's first line back.
#pragma once

namespace zel {

struct AppState;

void SaveLine(AppState& app);  // command 1208
void LoadLine(AppState& app);  // command 1209

}  // namespace zel
