// The commands of the main window that fill, edit and empty the tracking list. They reach the window only
// through ListCommandControls, so they run the same on the host and in the real window.
#pragma once

#include "text/text.h"
#include "tracking/tracking_list.h"

namespace quillmere {

// What the list commands read and write of the window besides the list itself.
class ListCommandControls {
 public:
  virtual ~ListCommandControls() = default;
  // The text of the number edit box, exactly as typed.
  virtual Text NumberEditText() = 0;
  // The clipboard's text; empty when it holds none.
  virtual Text ClipboardText() = 0;
  // Empties the clipboard and puts `text` on it.
  virtual void SetClipboardText(std::string_view text) = 0;
  // The lowest selected row of the report list, or -1.
  virtual int SelectedRow() = 0;
};

class ListCommands {
 public:
  ListCommands(TrackingList& list, ListCommandControls& controls) : list_(list), controls_(controls) {}

  void AddSingleNumber();
  void PasteNumbers();
  void CopyNumber();
  void DeleteSelectedNumber();
  void ClearAll();

 private:
  TrackingList& list_;
  ListCommandControls& controls_;
};

}  // namespace quillmere
