// Everything the program's logic asks of the outside world goes through this interface:
// the Qt window implements it, the tests record it. Texts are Shift-JIS byte strings;
// file paths are native paths.
#pragma once

#include <string>
#include <string_view>

namespace zel {

class Host {
 public:
  virtual ~Host() = default;

  // Controls of the main window, by control id.
  virtual void SetControlText(int controlId, std::string_view text) = 0;
  virtual void ShowControl(int controlId, bool visible) = 0;
  virtual void CheckMenuItem(int commandId, bool checked) = 0;

  // Asks the display panel to repaint itself, background first.
  virtual void InvalidatePanel() = 0;

  // Lays the controls out again for the current client size, before returning.
  virtual void RelayoutWindow() = 0;

  // Runs a command through the main window's routing, before returning.
  virtual void SendCommand(int commandId) = 0;

  // Starting a sound cuts off the one playing. A waiting play returns when the sound has
  // been heard; a sound that cannot be played gives the default alert instead.
  virtual void PlayBuiltInSound(int soundId, bool wait) = 0;
  virtual void PlaySoundFile(const std::string& path, bool wait) = 0;
};

}  // namespace zel
