// The one place where the program's Shift-JIS (code page 932) text meets Unicode.
#pragma once

#include <string>
#include <string_view>

namespace zel {

// Bytes that are not valid Shift-JIS become U+FFFD; the conversion never fails.
std::string SjisToUtf8(std::string_view sjis);

// Characters that Shift-JIS cannot hold, and invalid UTF-8, become '?'.
std::string Utf8ToSjis(std::string_view utf8);

// File names are native (UTF-8 here); shown in a message they become Shift-JIS, and a
// name read from a Shift-JIS file becomes native to be opened.
inline std::string NativePathToSjis(std::string_view path) { return Utf8ToSjis(path); }
inline std::string SjisToNativePath(std::string_view sjis) { return SjisToUtf8(sjis); }

// Whether a file's text is UTF-8: a byte-order mark says so; otherwise the first line
// holding a byte past ASCII decides, a character cut off by the end of the bytes read not
// counting against it. Shift-JIS kana and kanji are never valid UTF-8, so a line of them
// decides safely, and a stray byte further on cannot turn a UTF-8 file into Shift-JIS.
bool IsUtf8Text(std::string_view bytes);
// The bytes without a leading UTF-8 byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view bytes);

// Text from a file as Shift-JIS: files written in UTF-8 by a modern editor are converted;
// anything else is taken as Shift-JIS already.
std::string FileTextToSjis(std::string_view bytes);

}  // namespace zel
