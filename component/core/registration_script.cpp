#include "registration_script.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pendrake::registration {
namespace {

constexpr std::size_t kMaxDepth = 32;  // deeper nesting is taken as a malformed script

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The C0 and C1 control characters and DEL (Unicode's general category Cc).
bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

enum class TokenKind { End, Word, Quoted, Equals, Open, Close };

struct Token {
  TokenKind kind = TokenKind::End;
  std::u16string text;
  std::size_t offset = 0;
};

class Parser {
 public:
  explicit Parser(std::u16string_view text) : text_(text) {}

  ParseOutcome Run() {
    ParseOutcome outcome;
    Script script;
    if (!Advance()) return Fail(outcome);
    while (current_.kind != TokenKind::End) {
      RootBlock block;
      if (current_.kind != TokenKind::Word || !RootFromName(current_.text, block.root)) {
        return Fail(outcome, "expected a root key name");
      }
      if (!Advance() || !Expect(TokenKind::Open, "expected '{' after the root name")) return Fail(outcome);
      if (!ParseEntries(block.entries, 1)) return Fail(outcome);
      script.roots.push_back(std::move(block));
    }
    outcome.script = std::move(script);
    return outcome;
  }

 private:
  static bool RootFromName(std::u16string_view name, Root& root) {
    static constexpr std::array<std::pair<std::u16string_view, Root>, 8> kRoots{{
        {u"HKCR", Root::ClassesRoot},
        {u"HKEY_CLASSES_ROOT", Root::ClassesRoot},
        {u"HKCU", Root::CurrentUser},
        {u"HKEY_CURRENT_USER", Root::CurrentUser},
        {u"HKLM", Root::LocalMachine},
        {u"HKEY_LOCAL_MACHINE", Root::LocalMachine},
        {u"HKU", Root::Users},
        {u"HKEY_USERS", Root::Users},
    }};
    for (const auto& [known, value] : kRoots) {
      if (EqualsIgnoringCase(name, known)) {
        root = value;
        return true;
      }
    }
    return false;
  }

  // Reads the entries of one block up to and including its closing brace.
  bool ParseEntries(std::vector<Entry>& entries, std::size_t depth) {
    if (depth > kMaxDepth) return Error("nesting too deep");
    while (current_.kind != TokenKind::Close) {
      if (current_.kind == TokenKind::End) return Error("missing '}'");
      Entry entry;
      if (!ParseEntry(entry, depth)) return false;
      entries.push_back(std::move(entry));
    }
    return Advance();  // past '}'
  }

  bool ParseEntry(Entry& entry, std::size_t depth) {
    // A marker is a bare word followed by the name it qualifies; a key that is itself called
    // "val" or "NoRemove" can always be written quoted.
    if (current_.kind == TokenKind::Word) {
      const bool nextIsName = PeekKind() == TokenKind::Word || PeekKind() == TokenKind::Quoted;
      if (nextIsName) {
        if (EqualsIgnoringCase(current_.text, u"NoRemove")) {
          entry.marker = Marker::NoRemove;
        } else if (EqualsIgnoringCase(current_.text, u"ForceRemove")) {
          entry.marker = Marker::ForceRemove;
        } else if (EqualsIgnoringCase(current_.text, u"val")) {
          entry.namedValue = true;
        } else {
          return Error("unknown marker");
        }
        if (!Advance()) return false;
      }
    }
    if (current_.kind != TokenKind::Word && current_.kind != TokenKind::Quoted) return Error("expected a key name");
    entry.name = current_.text;
    // An empty name would address the parent itself and a backslash would reach past the
    // listed key (and past the protection of shared keys): neither belongs in a script.
    if (entry.name.empty()) return Error("empty key name");
    if (entry.name.find(u'\\') != std::u16string::npos) return Error("key name with a backslash");
    // The registry API takes names as terminated strings: a NUL would cut "CLSID<NUL>x" down
    // to "CLSID" on its way in, past the protection of shared keys, and other control
    // characters make names no tool shows as they are.
    if (std::any_of(entry.name.begin(), entry.name.end(), IsControl)) return Error("control character in a name");
    if (!Advance()) return false;

    if (current_.kind == TokenKind::Equals) {
      if (!Advance()) return false;
      Value value;
      if (!ParseValue(value)) return false;
      entry.value = std::move(value);
    }
    if (entry.namedValue) {
      if (!entry.value) return Error("val without a value");
      if (current_.kind == TokenKind::Open) return Error("val with subkeys");
      return true;
    }
    if (current_.kind == TokenKind::Open) {
      if (!Advance()) return false;
      return ParseEntries(entry.children, depth + 1);
    }
    return true;
  }

  bool ParseValue(Value& value) {
    if (current_.kind != TokenKind::Word) return Error("expected a value type");
    const std::u16string type = current_.text;
    if (EqualsIgnoringCase(type, u"s")) {
      value.type = Value::Type::String;
    } else if (EqualsIgnoringCase(type, u"e")) {
      value.type = Value::Type::ExpandString;
    } else if (EqualsIgnoringCase(type, u"d")) {
      value.type = Value::Type::Dword;
    } else {
      return Error("unknown value type");
    }
    if (!Advance()) return false;
    if (current_.kind != TokenKind::Quoted) return Error("expected a quoted value");
    if (value.type == Value::Type::Dword) {
      if (!ParseNumber(current_.text, value.number)) return Error("not a 32-bit number");
    } else {
      value.text = current_.text;
    }
    return Advance();
  }

  static bool ParseNumber(std::u16string_view text, std::uint32_t& number) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
      base = 16;
      text.remove_prefix(2);
    }
    if (text.empty()) return false;
    std::uint64_t result = 0;
    for (char16_t c : text) {
      unsigned digit;
      if (c >= u'0' && c <= u'9') {
        digit = c - u'0';
      } else if (base == 16 && FoldAscii(c) >= u'a' && FoldAscii(c) <= u'f') {
        digit = FoldAscii(c) - u'a' + 10;
      } else {
        return false;
      }
      result = result * base + digit;
      if (result > 0xFFFFFFFFu) return false;
    }
    number = static_cast<std::uint32_t>(result);
    return true;
  }

  bool Expect(TokenKind kind, const char* message) {
    if (current_.kind != kind) return Error(message);
    return Advance();
  }

  TokenKind PeekKind() {
    std::size_t saved = pos_;
    Token token;
    const bool ok = Scan(token);
    pos_ = saved;
    return ok ? token.kind : TokenKind::End;
  }

  bool Advance() {
    if (!Scan(current_)) return false;
    return true;
  }

  bool Scan(Token& token) {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    token = Token{};
    token.offset = pos_;
    if (pos_ == text_.size()) return true;  // End
    const char16_t c = text_[pos_];
    if (c == u'=') {
      token.kind = TokenKind::Equals;
      ++pos_;
      return true;
    }
    if (c == u'\'') {
      // Quoted: two quotes in a row stand for one.
      token.kind = TokenKind::Quoted;
      ++pos_;
      for (;;) {
        if (pos_ == text_.size()) return Error("unterminated quoted text", token.offset);
        if (text_[pos_] == u'\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\'') {
            token.text.push_back(u'\'');
            pos_ += 2;
            continue;
          }
          ++pos_;
          return true;
        }
        token.text.push_back(text_[pos_++]);
      }
    }
    // A bare word runs to the next blank, '=' or quote. A brace alone is structure; a brace
    // inside a word belongs to it, as in {7880953B-...}.
    while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != u'=' && text_[pos_] != u'\'') {
      token.text.push_back(text_[pos_++]);
    }
    if (token.text == u"{") {
      token.kind = TokenKind::Open;
    } else if (token.text == u"}") {
      token.kind = TokenKind::Close;
    } else {
      token.kind = TokenKind::Word;
    }
    return true;
  }

  bool Error(const char* message) { return Error(message, current_.offset); }
  bool Error(const char* message, std::size_t offset) {
    if (error_.empty()) {
      error_ = message;
      errorOffset_ = offset;
    }
    return false;
  }

  ParseOutcome& Fail(ParseOutcome& outcome, const char* message = nullptr) {
    if (message) Error(message);
    outcome.script.reset();
    outcome.error = error_;
    outcome.errorOffset = errorOffset_;
    return outcome;
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
  Token current_;
  std::string error_;
  std::size_t errorOffset_ = 0;
};

}  // namespace

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool IsProtectedKeyName(std::u16string_view name) {
  static constexpr std::array<std::u16string_view, 12> kShared{
      u"AppID", u"CLSID", u"Component Categories", u"FileType", u"Interface", u"Hardware",
      u"Mime",  u"SAM",   u"SECURITY",             u"SYSTEM",   u"Software",  u"TypeLib"};
  for (std::u16string_view shared : kShared) {
    if (EqualsIgnoringCase(name, shared)) return true;
  }
  return false;
}

std::optional<std::u16string> ExpandVariables(std::u16string_view text, std::u16string_view modulePath) {
  std::u16string out;
  out.reserve(text.size() + modulePath.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t percent = text.find(u'%', pos);
    if (percent == std::u16string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, percent - pos));
    const std::size_t close = text.find(u'%', percent + 1);
    if (close == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view name = text.substr(percent + 1, close - percent - 1);
    if (name.empty()) {
      out.push_back(u'%');
    } else if (EqualsIgnoringCase(name, u"MODULE")) {
      for (char16_t c : modulePath) {
        out.push_back(c);
        if (c == u'\'') out.push_back(u'\'');
      }
    } else {
      return std::nullopt;
    }
    pos = close + 1;
  }
  return out;
}

ParseOutcome ParseScript(std::u16string_view text) { return Parser(text).Run(); }

}  // namespace pendrake::registration
