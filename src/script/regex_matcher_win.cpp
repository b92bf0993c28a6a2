#include "script/regex_matcher.h"

#include <algorithm>

#include "text/markers.h"

namespace quillmere {

namespace {

// The property of an object, or an empty variant when there is no object or the read fails.
UniqueVariant PropertyOf(IDispatch* object, const wchar_t* name) {
  UniqueVariant value;
  if (FAILED(GetProperty(object, name, value))) return UniqueVariant();
  return value;
}

// Item `index` (0-based) of an automation collection.
UniqueVariant ItemOf(IDispatch* collection, int index) {
  UniqueVariant item;
  if (FAILED(CallMethod(collection, L"Item", &item, UniqueVariant::FromInt(index)))) return UniqueVariant();
  return item;
}

}  // namespace

RegexMatcher::RegexMatcher(const RegexMatcher& other)
    : expression_(other.expression_), matches_(other.matches_), subject_(other.subject_) {}

RegexMatcher::~RegexMatcher() = default;

RegexMatcher RegexMatcher::Copy() const { return *this; }

bool RegexMatcher::Create(std::string_view pattern, std::string_view subject, bool caseSensitive,
                          bool multiLine, bool global, bool quoteMarker) {
  expression_.Reset();
  matches_.Reset();
  // A component that cannot be made shows as a failed run below.
  CreateDispatch(L"VBScript.RegExp", expression_);
  PutProperty(expression_.Get(), L"IgnoreCase", UniqueVariant::FromBool(!caseSensitive));
  PutProperty(expression_.Get(), L"Multiline", UniqueVariant::FromBool(multiLine));
  // The component has no such property and refuses the write: a dot never matches a line break.
  PutProperty(expression_.Get(), L"Singleline", UniqueVariant::FromBool(true));
  PutProperty(expression_.Get(), L"Global", UniqueVariant::FromBool(global));
  const Text effective = quoteMarker ? ReplaceText(pattern, kQuoteMarker, "\"") : Text(pattern);
  PutProperty(expression_.Get(), L"Pattern", UniqueVariant::FromText(effective));
  subject_ = Text(subject);
  UniqueVariant matches;
  CallMethod(expression_.Get(), L"Execute", &matches, UniqueVariant::FromText(subject_));
  matches_ = matches.ToDispatch();
  return static_cast<bool>(matches_);
}

void RegexMatcher::Unused() {}

Text RegexMatcher::GetPattern() const { return PropertyOf(expression_.Get(), L"Pattern").ToText(); }

Text RegexMatcher::ReplaceMatches(std::string_view replacement) const {
  UniqueVariant replaced;
  if (FAILED(CallMethod(expression_.Get(), L"Replace", &replaced, UniqueVariant::FromText(subject_),
                        UniqueVariant::FromText(replacement)))) {
    return Text();
  }
  return replaced.ToText();
}

int RegexMatcher::MatchCount() const {
  return static_cast<int>(PropertyOf(matches_.Get(), L"Count").ToDouble());
}

Text RegexMatcher::MatchText(int matchIndex, int* position) const {
  const ComPtr<IDispatch> match = Match(matchIndex);
  if (position != nullptr) *position = match ? ByteOffsetOf(match.Get()) : -2;
  return PropertyOf(match.Get(), L"Value").ToText();
}

Text RegexMatcher::SubMatchText(int matchIndex, int subMatchIndex, int* position) const {
  const ComPtr<IDispatch> match = Match(matchIndex);
  const ComPtr<IDispatch> subMatches = PropertyOf(match.Get(), L"SubMatches").ToDispatch();
  const Text text = subMatches ? ItemOf(subMatches.Get(), subMatchIndex - 1).ToText() : Text();
  if (position != nullptr) {
    // The component tells where the match starts, not the sub-match: its text is looked for from there.
    *position = -2;
    if (match && !text.empty()) {
      const int found = FindText(subject_, text, ByteOffsetOf(match.Get()) + 1);
      if (found > 0) *position = found - 1;
    }
  }
  return text;
}

int RegexMatcher::SubMatchCount() const {
  const ComPtr<IDispatch> subMatches = PropertyOf(Match(1).Get(), L"SubMatches").ToDispatch();
  return static_cast<int>(PropertyOf(subMatches.Get(), L"Count").ToDouble());
}

ComPtr<IDispatch> RegexMatcher::Match(int matchIndex) const {
  if (!matches_) return ComPtr<IDispatch>();
  return ItemOf(matches_.Get(), matchIndex - 1).ToDispatch();
}

int RegexMatcher::ByteOffsetOf(const IDispatch* match) const {
  // FirstIndex counts UTF-16 units of the subject, and each GBK character, of one byte or two, is one unit.
  const int firstIndex =
      static_cast<int>(PropertyOf(const_cast<IDispatch*>(match), L"FirstIndex").ToDouble());
  std::size_t offset = 0;
  for (int unit = 0; unit < firstIndex && offset < subject_.size(); ++unit) {
    offset += CharacterLength(subject_, offset);
  }
  return static_cast<int>(std::min(offset, subject_.size()));
}

}  // namespace quillmere
