// The platform-free half of the update check: where the note is, how its paragraphs and marked fields are cut
// out of the note's HTML, and the question the user is asked.
#pragma once

#include <functional>
#include <string_view>

#include "text/text.h"

namespace quillmere {

// The one header line the note request carries.
inline constexpr std::string_view kNoteRequestHeader =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/50.0.2661.87 Safari/537.36";
// The member of the note service's reply that holds the note's HTML.
inline constexpr std::string_view kNoteContentMember = "content";
inline constexpr std::string_view kParagraphOpeningTag =
    "<div yne-bulb-block=\"paragraph\" style=\"white-space: pre-wrap;\">";
inline constexpr std::string_view kParagraphClosingTag = "</div>";

// The three fields a note announces, each written between its markers.
struct UpdateNote {
  Text latestVersion;
  Text downloadAddress;
  Text notice;
};

// The 1-based position of the first `needle` at or after `start` (below 1 counts as 1), found byte by byte
// without regard to character boundaries; with `ignoreCase`, ASCII letters compare lower-cased. -1 when not
// found, when either text is empty, or when `start` lies beyond the text.
int IndexOfText(std::string_view text, std::string_view needle, int start = 1, bool ignoreCase = false);

// Places in `items` every text between a `left` and the next `right` after it, as prefix + inner text +
// suffix (with the markers around it when asked), when `maximumLength` is 0 or the item is shorter. The next
// left marker is searched from the byte after the current one. `afterEachItem` runs after each item found.
// The result is the number of items.
int CollectBetween(
    std::string_view text, std::string_view left, std::string_view right, TextList& items,
    bool ignoreCase = false, int maximumLength = 0, std::string_view prefix = {},
    std::string_view suffix = {}, bool withLeft = false, bool withRight = false, int start = 0,
    const std::function<void()>& afterEachItem = [] {});

// The note identifier of a share address: every byte after its last "id=" (any case), up to its first "&".
Text NoteIdentifier(std::string_view shareAddress);

// The text of the note's paragraphs, each followed by "\r\n", in document order.
Text NoteText(std::string_view noteHtml, const std::function<void()>& afterEachParagraph);

UpdateNote ReadNoteFields(std::string_view noteText);

Text UpdateQuestion(const UpdateNote& note, std::string_view currentVersion);

// True for an address the browser may be given: one that begins with "http://" or "https://" in any case.
bool IsWebAddress(std::string_view address);

}  // namespace quillmere
