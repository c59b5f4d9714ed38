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

// A path stored in a Shift-JIS settings file: in Shift-JIS when it can be, so that
// programs reading the file as Shift-JIS read it; a path that Shift-JIS cannot hold, or
// whose Shift-JIS bytes would read back as UTF-8, stays UTF-8 as earlier versions wrote
// every path. PathFromProfileText reads either back: valid UTF-8 past ASCII is taken as
// UTF-8 (Shift-JIS kana and kanji never are), anything else as Shift-JIS.
std::string ProfilePathText(std::string_view path);
std::string PathFromProfileText(std::string_view stored);

// Text files mix encodings when a line is added from a terminal: each line is decided on
// its own. A line is UTF-8 when it is valid UTF-8 holding at least one character past
// ASCII, a character cut off by the end of the bytes read not counting against it, unless
// it reads as Japanese text only in Shift-JIS (half-width katakana such as ﾈｺ are valid
// UTF-8 by chance); every other line is Shift-JIS. Shift-JIS full-width kana and kanji
// are never valid UTF-8, so a line of them always stays Shift-JIS.
bool IsUtf8Line(std::string_view line);
// A UTF-8 byte-order mark at the start makes the whole file UTF-8.
bool HasByteOrderMark(std::string_view bytes);
// The bytes without a leading UTF-8 byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view bytes);

// Text from a file as Shift-JIS, line by line: UTF-8 lines converted, the others kept.
std::string FileTextToSjis(std::string_view bytes);

}  // namespace zel
