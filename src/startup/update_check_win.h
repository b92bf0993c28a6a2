// The update check, the last step of the main window's creation: the notice of the public note is shown in
// the window, and when the note announces another version the user is asked whether to open the download
// page; the window is then destroyed, whatever the answer, which ends the program.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "app/main_window_win.h"
#include "startup/note_service.h"
#include "text/text.h"

namespace quillmere {

struct NoteService {
  std::string_view shareAddress = kNoteShareAddress;
  std::string_view noteAddressPrefix = kNoteAddressPrefix;
};

// Opens an address in the default web browser.
using OpenInBrowser = std::function<void(std::string_view address)>;
void OpenInDefaultBrowser(std::string_view address);

// The text of the note's paragraphs; nothing when the note cannot be fetched or its reply is not a JSON text.
std::optional<Text> ReadUpdateNote(const NoteService& service);

void UpdateCheck(MainWindow& window, const NoteService& service = {},
                 const OpenInBrowser& openInBrowser = OpenInDefaultBrowser);

}  // namespace quillmere
