#include "startup/update_check_win.h"

#include <windows.h>
#include <shellapi.h>

#include "app/message_loop_win.h"
#include "script/script_json.h"
#include "startup/update_note.h"
#include "text/utf8_text.h"
#include "text/wide_text.h"
#include "web/web_request_winhttp.h"

namespace quillmere {

void OpenInDefaultBrowser(std::string_view address) {
  ShellExecuteW(nullptr, L"open", TextToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<Text> ReadUpdateNote(const NoteService& service) {
  const Text noteAddress = Text(service.noteAddressPrefix) + NoteIdentifier(service.shareAddress);
  const Text reply = WebRequest(noteAddress, 0, {}, nullptr, nullptr, kNoteRequestHeader);
  // The reply is JSON in UTF-8 without a meta charset, so WebRequest hands its bytes back as they came.
  const Text replyText = Utf8ToText(reply);
  // Parse runs nothing but a JSON text, in the engine's safe subset: the note service cannot run code here.
  ScriptJson document;
  if (replyText.empty() || !document.Parse(replyText, false)) return std::nullopt;
  return NoteText(document.GetText(kNoteContentMember, false), [] { PumpWaitingMessages(); });
}

void UpdateCheck(MainWindow& window, const NoteService& service, const OpenInBrowser& openInBrowser) {
  const UpdateNote note = ReadNoteFields(ReadUpdateNote(service).value_or(Text()));
  const Text currentVersion = window.ControlText(kVersionLabelId);
  // A note that could not be read (no reply, not JSON, no version) empties the notice and leaves the program
  // running: without a note there is nothing to ask.
  if (note.latestVersion.empty()) {
    window.SetControlText(kNoticeLabelId, "");
    return;
  }
  window.SetControlText(kNoticeLabelId, note.notice);
  if (note.latestVersion == currentVersion) return;

  const bool yes = MessageBoxW(window.Handle(), TextToWide(UpdateQuestion(note, currentVersion)).c_str(),
                               TextToWide("更新提示").c_str(), MB_YESNO) == IDYES;
  // Only a web address goes to the browser: the note must not start a program or open a file.
  if (yes && IsWebAddress(note.downloadAddress)) openInBrowser(note.downloadAddress);
  DestroyWindow(window.Handle());
}

}  // namespace quillmere
