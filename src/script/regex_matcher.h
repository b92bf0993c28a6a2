// A regular expression of the system's component ("VBScript.RegExp"): Create compiles a pattern with its
// options and runs it over a subject; the other operations read the matches or replace them. All matching
// is the component's. Indexes are 1-based. Failures show nothing: they give false, an empty text or 0.
#pragma once

#include <string_view>

#include "script/com.h"
#include "text/text.h"

namespace quillmere {

class RegexMatcher {
 public:
  // Initialises COM on this thread for the object's lifetime.
  RegexMatcher() = default;
  // Shares the other's expression and matches, with a copy of its subject.
  RegexMatcher(const RegexMatcher& other);
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // The operations in their fixed order.
  virtual ~RegexMatcher();
  virtual RegexMatcher Copy() const;
  // Compiles the pattern, with every "#引号" read as a double quote when `quoteMarker`, and runs it over the
  // subject; true when the component gave a match collection (also an empty one). Case is ignored unless
  // `caseSensitive`; "^" and "$" match at line breaks when `multiLine`; every match is found when `global`.
  virtual bool Create(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                      bool multiLine = true, bool global = true, bool quoteMarker = false);
  // Does nothing; it keeps its place among the operations.
  virtual void Unused();
  virtual Text GetPattern() const;
  // The subject with the matches (with `global`, else the first) replaced; the stored matches stay.
  virtual Text ReplaceMatches(std::string_view replacement = {}) const;
  virtual int MatchCount() const;
  // The text of a match; `position`, when given, receives its 0-based byte offset in the subject, or -2.
  virtual Text MatchText(int matchIndex, int* position = nullptr) const;
  // The text of a sub-match; `position`, when given, receives its 0-based byte offset in the subject, or -2.
  virtual Text SubMatchText(int matchIndex, int subMatchIndex, int* position = nullptr) const;
  // The number of sub-matches of the first match.
  virtual int SubMatchCount() const;

 private:
  ComPtr<IDispatch> Match(int matchIndex) const;
  int ByteOffsetOf(const IDispatch* match) const;

  ComApartment apartment_;
  ComPtr<IDispatch> expression_;
  ComPtr<IDispatch> matches_;
  Text subject_;
};

}  // namespace quillmere
