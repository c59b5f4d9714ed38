// The data built into the Windows program as RCDATA resources (builtin.rc): sounds,
// stroke-order strips and pictures, by name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zel {

// A resource's bytes, or none.
inline std::string_view BuiltInResource(const std::wstring& name) {
  HRSRC found = FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const char*>(bytes), SizeofResource(nullptr, found)};
}

inline std::span<const uint8_t> BuiltInBytes(const std::wstring& name) {
  const std::string_view bytes = BuiltInResource(name);
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace zel
