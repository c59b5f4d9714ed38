// The user's own question folder, where a parent edits mondai.txt, the pictures and the
// replacement voices. The installed sample set is read-only and shared, so the first start
// makes the folder from it, in the user's home (~/mojimori, Documents\mojimori on Windows);
// it is never overwritten afterwards. Only the help document, which belongs to the installed
// program, is brought up to date on every start.
#pragma once

#include <string>

namespace zel {

struct QuestionFolderStart {
  // The folder entered: the question folder, the sample set, or "" when the program is not
  // installed (no sample set) and stays where it was started.
  std::string folder;
  // Why the question folder could not be made, to be shown once over the window; "" else.
  std::string notice;
  // False when the help in the question folder could not be brought up to date; the old one
  // is then as it was.
  bool helpUpToDate = true;
};

// Enters the question folder in home, making it from sample when nothing is there; enters
// the sample set instead, with a notice, when the folder cannot be made or entered. Nothing
// is done when sample is no folder. Removes what earlier first starts, killed while copying,
// left in home.
QuestionFolderStart EnterQuestionFolder(const std::string& sample, const std::string& home);

}  // namespace zel
