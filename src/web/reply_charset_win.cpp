#include "web/reply_charset.h"

#include <mlang.h>

#include <optional>

#include "app/message_loop_win.h"
#include "text/wide_text.h"

namespace quillmere {

namespace {

constexpr int kProbeLength = 1024;
// A run of letters, digits, underscores and dashes after the first "charset=" that follows a "<meta" on the
// same line, with at most one other character (a quote) between.
constexpr std::string_view kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

// MinGW's import libraries lack the interface identifier of IMultiLanguage2.
constexpr IID kMultiLanguage2 = {
    0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

// The system's MIME charset database: it knows the names of the charset registry and their aliases.
ComPtr<IMultiLanguage2> MimeDatabase() {
  ComPtr<IMultiLanguage2> database;
  CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguage2,
                   reinterpret_cast<void**>(database.Put()));
  return database;
}

std::optional<UINT> CodePageOf(IMultiLanguage2* database, std::string_view charset) {
  UniqueBstr name(charset);
  MIMECSETINFO info{};
  if (database == nullptr || FAILED(database->GetCharsetInfo(name.Get(), &info))) return std::nullopt;
  // uiCodePage is the family of the charset; the encoding of the bytes is the Internet one.
  return info.uiInternetEncoding;
}

// The bytes decoded from the code page, by the database's own converters (which know encodings that
// MultiByteToWideChar lacks, such as ISO-2022-JP); nothing when it has no converter for it.
std::optional<std::wstring> Decode(IMultiLanguage2* database, UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  DWORD mode = 0;
  UINT sourceSize = static_cast<UINT>(bytes.size());
  UINT wideSize = 0;
  CHAR* source = const_cast<CHAR*>(bytes.data());
  if (database->ConvertStringToUnicode(&mode, codePage, source, &sourceSize, nullptr, &wideSize) != S_OK) {
    return std::nullopt;
  }
  std::wstring wide(wideSize, L'\0');
  mode = 0;
  sourceSize = static_cast<UINT>(bytes.size());
  if (database->ConvertStringToUnicode(&mode, codePage, source, &sourceSize, wide.data(), &wideSize) !=
      S_OK) {
    return std::nullopt;
  }
  wide.resize(wideSize);
  // A byte-order mark belongs to the encoding, not to the text.
  if (!wide.empty() && wide.front() == L'\uFEFF') wide.erase(0, 1);
  return wide;
}

}  // namespace

void DecodeReplyCharset(RegexMatcher& matcher, std::string_view replyBytes, Text& replyText) {
  const ComApartment apartment;
  if (!matcher.Create(kCharsetPattern, LeftText(replyText, kProbeLength))) return;
  const Text charset = matcher.SubMatchText(1, 1);
  if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
    // A name the database does not know, or an encoding it cannot decode, leaves the GBK reading: the best
    // text there is then (a gb18030 page, for one, is GBK but for its rarest characters).
    const ComPtr<IMultiLanguage2> database = MimeDatabase();
    if (const std::optional<UINT> codePage = CodePageOf(database.Get(), charset)) {
      if (const std::optional<std::wstring> decoded = Decode(database.Get(), *codePage, replyBytes)) {
        replyText = WideToText(*decoded);
      }
    }
  }
  PumpWaitingMessages();
}

}  // namespace quillmere
