// STUB, TO BE REPLACED: Shift-JIS in the browser until the table-based CP932 converter
// (src/encoding/) lands. musl's iconv has no CP932, so this half borrows the JavaScript
// engine's Shift_JIS decoder and encodes through the inverse of its table. It differs from
// CP932 at a few single bytes (0x80, 0xA0, 0xFD..0xFF) and in which of the NEC / IBM
// duplicates a character encodes to.
#include <emscripten.h>

#include <string>

#include "encoding/sjis.h"

// clang-format off
EM_JS(int, zel_sjis_decode, (const char* source, int length, char* out), {
  if (!Module.zelSjisDecoder) Module.zelSjisDecoder = new TextDecoder('shift_jis');
  // ASCII bytes stand for themselves: some engines' tables swap control codes (0x1A, 0x7F).
  const bytes = HEAPU8.subarray(source, source + length);
  let text = "";
  for (let i = 0; i < bytes.length;) {
    const b = bytes[i];
    if (b < 0x80) { text += String.fromCharCode(b); ++i; continue; }
    const pair = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < bytes.length;
    const n = pair && bytes[i + 1] >= 0x40 && bytes[i + 1] != 0x7F && bytes[i + 1] <= 0xFC ? 2 : 1;
    text += Module.zelSjisDecoder.decode(bytes.subarray(i, i + n));
    i += n;
  }
  return stringToUTF8(text, out, length * 3 + 1);
});

EM_JS(int, zel_sjis_encode, (const char* source, int length, char* out), {
  let table = Module.zelSjisTable;
  if (!table) {
    // Every double-byte code decoded once; the first code of a character wins.
    table = Module.zelSjisTable = new Map();
    const decoder = new TextDecoder('shift_jis', {fatal: true});
    const pair = new Uint8Array(2);
    for (let lead = 0x81; lead <= 0xFC; ++lead) {
      if (lead >= 0xA0 && lead <= 0xDF) continue;
      for (let trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        pair[0] = lead; pair[1] = trail;
        let ch;
        try { ch = decoder.decode(pair); } catch (e) { continue; }
        const code = ch.codePointAt(0);
        if (ch.length == 1 && !table.has(code)) table.set(code, (lead << 8) | trail);
      }
    }
    for (let b = 0xA1; b <= 0xDF; ++b) table.set(0xFF61 + (b - 0xA1), b);
  }
  // Invalid UTF-8 becomes U+FFFD here, which has no Shift-JIS code: '?' as wanted.
  const text = new TextDecoder('utf-8').decode(HEAPU8.subarray(source, source + length));
  let n = 0;
  for (const ch of text) {
    const code = ch.codePointAt(0);
    if (code < 0x80) { HEAPU8[out + n++] = code; continue; }
    const sjis = table.get(code);
    if (sjis === undefined) { HEAPU8[out + n++] = 0x3F; continue; }
    if (sjis > 0xFF) HEAPU8[out + n++] = sjis >> 8;
    HEAPU8[out + n++] = sjis & 0xFF;
  }
  return n;
});
// clang-format on

namespace zel {

std::string SjisToUtf8(std::string_view sjis) {
  if (sjis.empty()) return {};
  std::string out(sjis.size() * 3 + 1, '\0');
  out.resize(static_cast<size_t>(zel_sjis_decode(sjis.data(), static_cast<int>(sjis.size()), out.data())));
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::string out(utf8.size(), '\0');
  out.resize(static_cast<size_t>(zel_sjis_encode(utf8.data(), static_cast<int>(utf8.size()), out.data())));
  return out;
}

}  // namespace zel
