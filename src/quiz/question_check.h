// The check of the question file for parents: every line of mondai.txt read as the quiz
// reads it, with what the quiz will do with it, in plain words. It changes nothing.
//
// The check comes in two steps, so its window opens at once however large the file and its
// pictures: CheckQuestionFile reads the file and judges every answer; each picture it names
// is read afterwards, one row at a time (LoadCheckedPicture, which may run on any thread),
// and SettlePicture completes that row's verdict and the summary.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "dib/packed_dib.h"

namespace zel {

struct AppState;
class FileAccess;

enum class LineVerdict {
  Asked,              // a question the quiz asks; its picture comes with it
  UntypableAnswer,    // asked, but characters of the answer no key types
  SpaceInAnswer,      // asked, but the answer asks for the blank key where it has a space
  NoAnswer,           // the answer gives nothing to type: the quiz reports the file
  PictureNotFound,    // the quiz reports the picture and skips the question
  PictureUnreadable,  // the same, for a file that is there but no picture it can read
  PictureLoading,     // a question line whose picture is still being read
  EndsTheList,        // not a question line: the list ends here
  EmptyEnd,           // an empty line: the list ends here, the way it is meant to end
  BelowTheEnd,        // below the end of the list: never read
  PastTheLimit,       // past the most questions the quiz keeps
};

// The picture a question line names, as the quiz will load it.
struct PictureToLoad {
  std::string field;  // field 1 of the line, as written
  bool utf8 = false;  // the line is UTF-8
};

// A row of the check: one line of the file, or, for lines the quiz never reads, all of them
// together.
struct CheckedLine {
  int number = 0;      // from 1, as the quiz counts lines
  int lastNumber = 0;  // the last line the row stands for; number for a row of one line
  std::string text;    // Shift-JIS, without its line end
  LineVerdict verdict = LineVerdict::Asked;
  std::string message;  // the verdict in plain Japanese, Shift-JIS
  // A question's picture, while it is still to be read (verdict PictureLoading).
  std::optional<PictureToLoad> picture;
  // What the answer alone gives: the verdict once the picture is read, and its words.
  LineVerdict answerVerdict = LineVerdict::Asked;
  std::string answerNote;
};

struct QuestionCheck {
  bool fileRead = false;
  std::vector<CheckedLine> lines;
  int asked = 0;     // questions the quiz asks without a message
  int toMend = 0;    // lines worth mending
  int pictures = 0;  // rows whose picture is read, and of them the ones done
  int picturesDone = 0;
  std::string summary;  // Shift-JIS, one or more lines

  // What the summary says besides the counts.
  std::string path;       // the file, Shift-JIS
  int listedLines = 0;    // the question lines the quiz would count now
  int runningCount = 0;   // the question lines the running quiz counted at its start
};

inline constexpr int kThumbnailSide = 128;

// Reads the question file and judges every line the quiz may read, as the quiz does; the
// pictures are left to be read (rows of verdict PictureLoading).
QuestionCheck CheckQuestionFile(AppState& app);

// One row's picture read as the quiz reads it: whether it can be shown, whether the file is
// there, and the picture small (no side longer than kThumbnailSide) for a thumbnail. Only
// reads files, so it may run on a worker thread when the FileAccess's reads may.
struct CheckedPicture {
  bool readable = false;
  bool found = false;
  bool tooLarge = false;  // refused for its size before it was read
  std::optional<PackedDib> thumbnail;  // none for a picture with no pixels
};
CheckedPicture LoadCheckedPicture(FileAccess& files, const PictureToLoad& picture);

// Completes row `row` (verdict PictureLoading) with its picture read: its verdict and
// words, the counts and the summary.
void SettlePicture(QuestionCheck& check, size_t row, const CheckedPicture& picture);

// Every picture read and settled here and now, in order; thumbnails[i] is row i's.
std::vector<std::optional<PackedDib>> SettleAllPictures(QuestionCheck& check, FileAccess& files);

// A picture no larger than side on either side, in its own shape: the picture itself when
// it fits, else a 24-bit one, each pixel the mean of the pixels it covers.
std::optional<PackedDib> ShrinkPicture(PackedDib picture, int side);

// The mark a parent reads at a glance (○ fine, △ worth a look, × mended or lost, － not
// used or the empty line that ends the list, … still being read) and the line or lines of a row, Shift-JIS: "○ 3", "－ 261～900".
std::string RowLabel(const CheckedLine& line);

// The menu command: the check, shown in a window of its own.
void ShowQuestionCheck(AppState& app);

}  // namespace zel
