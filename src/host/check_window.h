// What the window of the question-file check shows, as the logic makes it: a summary and a
// row a line, ready to show, and the rows' pictures read while the window is open. The
// window lays them out and draws them; every verdict and word comes from here.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dib/packed_dib.h"

namespace zel {

// One row, its texts Shift-JIS.
struct CheckRow {
  std::string label;    // the mark and the line or lines: "○ 3", "－ 261～900"
  std::string text;     // the line as written
  std::string message;  // what the quiz does with it, in plain words
  bool mayHavePicture = false;  // a row of one line, whose picture may come
};

// A row's picture, read and judged; its row's texts have changed with it.
struct RowPicture {
  size_t row = 0;
  std::optional<PackedDib> thumbnail;  // small and in its own shape; none without pixels
};

class CheckWindowContent {
 public:
  virtual ~CheckWindowContent() = default;

  virtual size_t RowCount() const = 0;
  virtual CheckRow Row(size_t row) const = 0;
  virtual std::string Summary() const = 0;

  // Starts reading the pictures on threads of its own. wake runs on one of them when read
  // pictures wait to be taken: it must do no more than ask the window's thread to take them.
  virtual void StartReading(std::function<void()> wake) = 0;
  // The pictures read since the last call, each row and the summary brought up to date.
  virtual std::vector<RowPicture> TakePictures() = 0;
  // The pictures not yet taken.
  virtual size_t PicturesLeft() const = 0;
  // Asks the readers to end after the picture in hand, without waiting for them.
  virtual void StopReading() = 0;
  // Stops the readers and waits for them: wake is not called after this returns.
  virtual void EndReading() = 0;
};

}  // namespace zel
