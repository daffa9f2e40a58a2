// UnicodeText: word characters, case and order of a UTF-8 project.
#include "unicode/unicode_text.h"

#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cctype>

namespace wordloom {
namespace {

std::u16string ToUtf16(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &error);
  out.resize(U_SUCCESS(error) ? static_cast<size_t>(length) : 0);
  return out;
}

// One item of the alphabet: a character, or a bracketed multigraph such as "[ch]".
std::vector<std::string> AlphabetItems(std::string_view alphabet) {
  std::vector<std::string> items;
  for (size_t at = 0; at < alphabet.size();) {
    if (alphabet[at] == '[') {
      size_t close = alphabet.find(']', at + 1);
      if (close != std::string_view::npos) {
        std::string_view inside = alphabet.substr(at + 1, close - at - 1);
        size_t count = 0;
        for (size_t i = 0; i < inside.size(); ++count) NextCodePoint(inside, i);
        if (count >= 2) {
          items.emplace_back(inside);
          at = close + 1;
          continue;
        }
      }
    }
    size_t start = at;
    NextCodePoint(alphabet, at);
    items.emplace_back(alphabet.substr(start, at - start));
  }
  return items;
}

// An item written for ICU's rule syntax, so that no character of it is read as syntax: ASCII
// punctuation after a backslash, characters beyond ASCII in quotes (ICU takes \\u escapes
// in rules literally, and some characters beyond ASCII are white space to it).
std::string RuleText(std::string_view item) {
  std::string out;
  bool quoted = false;  // a quotation holds a whole run of characters beyond ASCII: '' is a quote
  for (size_t at = 0; at < item.size();) {
    const size_t start = at;
    const char32_t c = NextCodePoint(item, at);
    if (c >= 128) {
      if (!quoted) out += '\'';
      quoted = true;
      out.append(item, start, at - start);
      continue;
    }
    if (quoted) out += '\'';
    quoted = false;
    if (!std::isalnum(static_cast<int>(c))) out += '\\';
    out += static_cast<char>(c);
  }
  if (quoted) out += '\'';
  return out;
}

UCollator* OpenCollator(const std::string& language) {
  UErrorCode error = U_ZERO_ERROR;
  UCollator* collator = ucol_open(language.c_str(), &error);
  if (U_FAILURE(error)) {
    error = U_ZERO_ERROR;
    collator = ucol_open("", &error);
  }
  return collator;
}

}  // namespace

std::shared_ptr<const UnicodeText> UnicodeText::Make(const ScanRules& rules) {
  std::shared_ptr<UnicodeText> text(new UnicodeText());
  text->unicodeLetters_ = rules.unicodeLetters;
  text->needLetter_ = rules.NeedsLetter();
  text->boundaries_ = rules.words;
  for (const std::string& item : AlphabetItems(rules.alphabet)) {
    size_t at = 0;
    char32_t c = NextCodePoint(item, at);
    if (at != item.size()) {  // a multigraph makes its characters word characters
      for (at = 0; at < item.size();) text->alphabet_.push_back(NextCodePoint(item, at));
      continue;
    }
    text->alphabet_.push_back(c);
  }
  for (char32_t c : std::vector<char32_t>(text->alphabet_)) {
    char32_t lower = static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
    if (lower != c) text->alphabet_.push_back(lower);
  }
  std::vector<char32_t> beyondAscii;
  for (char32_t c : text->alphabet_) {
    if (c < 128) {
      text->asciiWord_[c] = true;
    } else {
      beyondAscii.push_back(c);
    }
  }
  std::sort(beyondAscii.begin(), beyondAscii.end());
  beyondAscii.erase(std::unique(beyondAscii.begin(), beyondAscii.end()), beyondAscii.end());
  text->alphabet_.swap(beyondAscii);
  for (char32_t c = 0; c < 128; ++c) {
    if (text->unicodeLetters_ && (u_isalpha(static_cast<UChar32>(c)) || u_isdigit(static_cast<UChar32>(c)))) {
      text->asciiWord_[c] = true;
    }
  }
  // A join or end-of-line character is never a word character, though the alphabet list it:
  // those rules come after the alphabet's.
  for (const std::string* rule : {&rules.join, &rules.endOfLine}) {
    for (size_t at = 0; at < rule->size();) {
      const char32_t c = NextCodePoint(*rule, at);
      if (c < 128) {
        text->asciiWord_[c] = false;
      } else {
        text->excluded_.push_back(c);
      }
    }
  }
  std::sort(text->excluded_.begin(), text->excluded_.end());
  // The readers ask for the class of the lower-cased character: an upper-case ASCII letter is
  // a word character when its lower case is.
  for (char32_t c = 'A'; c <= 'Z'; ++c) text->asciiWord_[c] = text->asciiWord_[c + 32];
  for (char32_t c = 128; c < 0x10000; ++c) {
    if (text->IsWordCharSlow(c)) text->basicWord_[c >> 6] |= uint64_t{1} << (c & 63);
  }
  UErrorCode error = U_ZERO_ERROR;
  text->caseMap_ = ucasemap_open("", 0, &error);
  text->Tailor(rules);
  return text;
}

UnicodeText::~UnicodeText() {
  if (collator_) ucol_close(collator_);
  if (caseMap_) ucasemap_close(caseMap_);
}

bool UnicodeText::IsWordCharSlow(char32_t c) const {
  const char32_t lower = static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
  if (std::binary_search(excluded_.begin(), excluded_.end(), lower)) return false;
  if (std::binary_search(alphabet_.begin(), alphabet_.end(), c)) return true;
  if (!unicodeLetters_) {
    return std::binary_search(alphabet_.begin(), alphabet_.end(), static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))));
  }
  const int32_t mask = U_GET_GC_MASK(static_cast<UChar32>(c));
  return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK)) != 0 ||
         std::binary_search(alphabet_.begin(), alphabet_.end(), static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))));
}

bool UnicodeText::KeepsWord(std::string_view word) const {
  if (!needLetter_) return true;
  for (size_t at = 0; at < word.size();) {
    char32_t c = NextCodePoint(word, at);
    if (c < 128) {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
      continue;
    }
    if (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_N_MASK)) return true;
  }
  return false;
}

void UnicodeText::AppendLower(std::string_view text, std::string& out) const {
  if (IsAscii(text)) {
    for (char c : text) out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return;
  }
  // In the root locale the full lower case is each character's simple lower case, but for
  // U+0130 and the capital sigma (whose final form depends on what follows): those words go
  // to the case mapper whole.
  const size_t start = out.size();
  bool simple = true;
  for (size_t at = 0; at < text.size() && simple;) {
    const char32_t c = NextCodePoint(text, at);
    if (c == 0x130 || c == 0x3A3) {
      simple = false;
      break;
    }
    char bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, u_tolower(static_cast<UChar32>(c)));
    out.append(bytes, static_cast<size_t>(length));
  }
  if (simple) return;
  out.resize(start);
  out.resize(start + text.size() * 3 + 8);
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = ucasemap_utf8ToLower(caseMap_, out.data() + start, static_cast<int32_t>(out.size() - start),
                                        text.data(), static_cast<int32_t>(text.size()), &error);
  if (error == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(start + static_cast<size_t>(length));
    error = U_ZERO_ERROR;
    length = ucasemap_utf8ToLower(caseMap_, out.data() + start, static_cast<int32_t>(out.size() - start), text.data(),
                                  static_cast<int32_t>(text.size()), &error);
  }
  if (U_FAILURE(error)) {
    out.resize(start);
    out.append(text);
    return;
  }
  out.resize(start + static_cast<size_t>(length));
}

std::string UnicodeText::Lower(std::string_view text) const {
  std::string out;
  AppendLower(text, out);
  return out;
}

std::string UnicodeText::FoldKey(std::string_view text) const {
  std::string decoded;
  DecodeLine(text, decoded);
  return Lower(decoded);
}

std::string UnicodeText::MatchingText(std::string_view text) const {
  const std::string lower = Lower(text);
  if (IsAscii(lower)) return lower;
  std::string out;
  out.reserve(lower.size());
  for (size_t at = 0; at < lower.size();) {
    const size_t start = at;
    const char32_t c = NextCodePoint(lower, at);
    if (c >= 128 && !IsWordChar(c)) {
      out += kNotWordByte;
    } else {
      out.append(lower, start, at - start);
    }
  }
  return out;
}

int UnicodeText::Compare(std::string_view a, std::string_view b) const {
  UErrorCode error = U_ZERO_ERROR;
  UCollationResult order = ucol_strcollUTF8(collator_, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                            static_cast<int32_t>(b.size()), &error);
  if (U_SUCCESS(error) && order != UCOL_EQUAL) return order == UCOL_LESS ? -1 : 1;
  int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

uint64_t UnicodeText::SortKeyPrefix(std::string_view word) const {
  UCharIterator characters;
  uiter_setUTF8(&characters, word.data(), static_cast<int32_t>(word.size()));
  uint32_t state[2] = {0, 0};
  uint8_t bytes[8] = {};
  UErrorCode error = U_ZERO_ERROR;
  ucol_nextSortKeyPart(collator_, &characters, state, bytes, 8, &error);
  uint64_t prefix = 0;
  for (uint8_t byte : bytes) prefix = (prefix << 8) | byte;
  return prefix;
}

void UnicodeText::AppendSortKey(std::string_view word, std::string& key) const {
  thread_local std::u16string utf16;
  utf16.resize(word.size());
  int32_t converted = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(utf16.data()), static_cast<int32_t>(utf16.size()), &converted,
                       word.data(), static_cast<int32_t>(word.size()), 0xFFFD, nullptr, &error);
  utf16.resize(U_SUCCESS(error) ? static_cast<size_t>(converted) : 0);
  const UChar* source = reinterpret_cast<const UChar*>(utf16.data());
  const size_t start = key.size();
  key.resize(start + utf16.size() * 4 + 32);
  int32_t length = ucol_getSortKey(collator_, source, static_cast<int32_t>(utf16.size()),
                                   reinterpret_cast<uint8_t*>(key.data() + start), static_cast<int32_t>(key.size() - start));
  if (static_cast<size_t>(length) > key.size() - start) {
    key.resize(start + static_cast<size_t>(length));
    length = ucol_getSortKey(collator_, source, static_cast<int32_t>(utf16.size()),
                             reinterpret_cast<uint8_t*>(key.data() + start), static_cast<int32_t>(key.size() - start));
  }
  // The key ends with its only zero byte; the word's bytes after it order words that collate equal.
  key.resize(start + static_cast<size_t>(length));
  key.append(word);
}

std::string UnicodeText::Reversed(std::string_view word) {
  std::string out;
  out.reserve(word.size());
  size_t end = word.size();
  std::vector<size_t> starts;
  for (size_t at = 0; at < word.size(); at = ClusterEnd(word, at)) starts.push_back(at);
  for (size_t i = starts.size(); i-- > 0;) {
    out.append(word.substr(starts[i], end - starts[i]));
    end = starts[i];
  }
  return out;
}

// The alphabet orders its own characters: a tailoring of the language's order. The longest
// run of alphabet items that the language already orders as the alphabet does stays where it
// is; every other item, and every multigraph, is placed just before the next item of that run
// (after the last one when none follows), so characters the alphabet does not list keep
// their places.
void UnicodeText::Tailor(const ScanRules& rules) {
  collator_ = OpenCollator(rules.language);
  if (!collator_) return;
  std::vector<std::string> items;
  for (std::string& item : AlphabetItems(rules.alphabet)) {
    if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(std::move(item));
  }
  auto isMultigraph = [](const std::string& item) {
    size_t at = 0;
    NextCodePoint(item, at);
    return at != item.size();
  };
  // The longest increasing subsequence of the single characters, by the language's order.
  const size_t n = items.size();
  std::vector<size_t> length(n, 0), previous(n, n);
  size_t best = n;
  for (size_t i = 0; i < n; ++i) {
    if (isMultigraph(items[i])) continue;
    length[i] = 1;
    for (size_t j = 0; j < i; ++j) {
      if (length[j] == 0 || length[j] + 1 <= length[i]) continue;
      UErrorCode error = U_ZERO_ERROR;
      if (ucol_strcollUTF8(collator_, items[j].data(), static_cast<int32_t>(items[j].size()), items[i].data(),
                           static_cast<int32_t>(items[i].size()), &error) == UCOL_LESS) {
        length[i] = length[j] + 1;
        previous[i] = j;
      }
    }
    if (best == n || length[i] > length[best]) best = i;
  }
  std::vector<bool> stays(n, false);
  for (size_t i = best; i < n; i = previous[i]) stays[i] = true;

  std::string tailoring;
  for (size_t i = 0; i < n;) {
    if (stays[i]) {
      ++i;
      continue;
    }
    size_t next = i;
    while (next < n && !stays[next]) ++next;
    if (next < n) {
      tailoring += "&[before 1]";
      tailoring += RuleText(items[next]);
    } else {
      if (i == 0) break;  // nothing stays: the alphabet has no anchor, the language decides
      tailoring += '&';
      tailoring += RuleText(items[i - 1]);  // the item before a run that moves always stays
    }
    for (; i < next; ++i) {
      tailoring += '<';
      tailoring += RuleText(items[i]);
    }
  }
  if (tailoring.empty()) return;
  int32_t baseLength = 0;
  const UChar* base = ucol_getRules(collator_, &baseLength);
  std::u16string all(reinterpret_cast<const char16_t*>(base), static_cast<size_t>(baseLength));
  all += ToUtf16(tailoring);
  UErrorCode error = U_ZERO_ERROR;
  UParseError parseError;
  UCollator* tailored = ucol_openRules(reinterpret_cast<const UChar*>(all.data()), static_cast<int32_t>(all.size()),
                                       UCOL_DEFAULT, UCOL_DEFAULT_STRENGTH, &parseError, &error);
  if (U_FAILURE(error) || !tailored) return;  // the language's own order, untailored
  // The rules carry the language's tailoring but not the settings its tag asks for
  // ("-u-kn-true": numbers by value), which the collator opened from the tag has.
  for (UColAttribute attribute : {UCOL_FRENCH_COLLATION, UCOL_ALTERNATE_HANDLING, UCOL_CASE_FIRST, UCOL_CASE_LEVEL,
                                  UCOL_NORMALIZATION_MODE, UCOL_STRENGTH, UCOL_NUMERIC_COLLATION}) {
    error = U_ZERO_ERROR;
    const UColAttributeValue value = ucol_getAttribute(collator_, attribute, &error);
    if (U_SUCCESS(error)) ucol_setAttribute(tailored, attribute, value, &error);
  }
  error = U_ZERO_ERROR;
  ucol_setMaxVariable(tailored, ucol_getMaxVariable(collator_), &error);
  int32_t codes[64];
  error = U_ZERO_ERROR;
  const int32_t codeCount = ucol_getReorderCodes(collator_, codes, 64, &error);
  if (U_SUCCESS(error) && codeCount > 0) ucol_setReorderCodes(tailored, codes, codeCount, &error);
  ucol_close(collator_);
  collator_ = tailored;
}

}  // namespace wordloom
