// A Host that writes down every effect as one line of text, texts in UTF-8, so tests can
// compare what happened and in which order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/sjis.h"

namespace zel::testing {

class RecordingHost : public Host {
 public:
  std::vector<std::string> events;
  std::function<void(int)> onCommand;  // runs a sent command, when a test needs it

  void SetControlText(int id, std::string_view text) override {
    Add("text " + std::to_string(id) + " " + SjisToUtf8(text));
  }
  void ShowControl(int id, bool visible) override {
    Add((visible ? "show " : "hide ") + std::to_string(id));
  }
  void CheckMenuItem(int id, bool checked) override {
    Add((checked ? "check " : "uncheck ") + std::to_string(id));
  }
  void InvalidatePanel() override { Add("invalidate"); }
  void RelayoutWindow() override { Add("relayout"); }
  void SendCommand(int id) override {
    Add("command " + std::to_string(id));
    if (onCommand) onCommand(id);
  }
  void PlayBuiltInSound(int id, bool wait) override {
    Add("play " + std::to_string(id) + (wait ? " wait" : " async"));
  }
  void PlaySoundFile(const std::string& path, bool wait) override {
    Add("play file " + path + (wait ? " wait" : " async"));
  }

  // The events that start with prefix, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }
  void Clear() { events.clear(); }

 private:
  void Add(std::string event) { events.push_back(std::move(event)); }
};

}  // namespace zel::testing
