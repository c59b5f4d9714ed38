// Files for the question check's picture readers: reads that are safe from any thread, the
// pictures' decoding held at a gate the test opens, and a record of any use after the test
// said that whoever reads must have stopped.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "display/decoded_picture.h"
#include "dib/packed_dib.h"
#include "host/host.h"
#include "support/bmp_fixture.h"

namespace zel::testing {

class GatedFiles : public FileAccess {
 public:
  std::map<std::string, std::string> files;  // set up before any reader starts
  bool gated = false;
  // How bytes decode; by default "photo" is a picture as wide as maxSide and half as high.
  std::function<DecodedPicture(std::string_view, int)> decode = [](std::string_view bytes, int maxSide) {
    return DecodedPicture{bytes == "photo" ? NewDib(maxSide, maxSide / 2, DibKind::Bits24) : std::nullopt};
  };

  // Lets n more decodes through the gate.
  void Let(int n) {
    std::lock_guard lock(mutex_);
    allowed_ += n;
    changed_.notify_all();
  }
  // Waits, bounded against a hang, until n decodes have begun.
  bool WaitForDecodes(int n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return begun_ >= n; });
  }
  int Begun() {
    std::lock_guard lock(mutex_);
    return begun_;
  }
  // From now on, any use is a fault: whoever read has been stopped.
  void Close() { closed_ = true; }
  bool UsedAfterClose() const { return usedAfterClose_; }

  std::string CurrentDirectory() override { return "/"; }
  void SetCurrentDirectory(const std::string&) override {}
  bool FileExists(const std::string& path) override {
    Use();
    return files.count(path) > 0;
  }
  std::optional<std::string> ReadFile(const std::string& path, size_t) override {
    Use();
    auto it = files.find(path);
    return it == files.end() ? std::nullopt : std::optional(it->second);
  }
  bool ReplaceFile(const std::string&, std::string_view) override { return false; }
  std::string BuiltInPicture(std::string_view) override { return MakeBmp24(20, 20, 0x0000FF); }
  DecodedPicture DecodePicture(std::string_view bytes, int maxSide) override {
    Use();
    {
      std::unique_lock lock(mutex_);
      ++begun_;
      changed_.notify_all();
      if (gated) {
        changed_.wait(lock, [&] { return allowed_ > 0; });
        --allowed_;
      }
    }
    return decode(bytes, maxSide);
  }
  bool StartProgram(const std::string&) override { return false; }

 private:
  void Use() {
    if (closed_) usedAfterClose_ = true;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  int allowed_ = 0, begun_ = 0;
  std::atomic<bool> closed_{false}, usedAfterClose_{false};
};

}  // namespace zel::testing
