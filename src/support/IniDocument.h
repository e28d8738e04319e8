#pragma once
// One sectioned key/value file held in memory: parsed once, queried and changed many
// times, written back as a whole. Every line the parser does not understand (comments,
// lines without "=", text before the first section, garbage) is kept byte for byte, and
// so is each line's own line end; only changed or added lines are new text.
//
// Layout rules: "[name]" opens a section; "key=value" is an entry; a line whose first
// non-blank character is ";" is a comment. Section and key names match without regard to
// case (Latin-1 letters), blanks around names and values are ignored, and the first
// section and the first key of a name win. Bytes are Latin-1 and are never re-encoded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniDocument {
 public:
  // An empty document; the lines it gets end in CR LF.
  IniDocument() = default;
  // The file's bytes as read. A UTF-8 byte order mark is kept but does not hide the
  // first line; new lines take the line end of the file's first line (CR LF if none).
  static IniDocument Parse(std::string_view bytes);
  std::string Serialize() const;

  // Names a caller may write: not empty once trimmed, no line break; a section without
  // "]", a key without "=" that does not start like a comment or a section line.
  static bool IsWritableSection(std::string_view section);
  static bool IsWritableKey(std::string_view key);

  // The trimmed value of the entry; false when the section or the key is missing.
  bool Find(std::string_view section, std::string_view key, std::string_view& value) const;
  // Replaces the entry's value in place, or adds the key after the last entry of its
  // section, or adds the section at the end. Line breaks in the value become blanks so
  // an entry stays one line. Returns true when the document changed. The names must be
  // writable (see above).
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  size_t LineCount() const;

 private:
  enum class LineEnd : uint8_t { None, Lf, CrLf };
  struct Line {
    std::string text;
    LineEnd end = LineEnd::None;
  };
  // The lines of one section, header first; block 0 holds the lines before the first
  // section and has no header.
  struct Block {
    std::vector<Line> lines;
    size_t insertAt = 0;  // just after the last entry line (or after the header)
    std::unordered_map<std::string, size_t> keys;  // folded key -> line, first one wins
  };

  void AddLine(std::string_view text, LineEnd end);
  void TerminateLastLine();
  Line NewLine(std::string text) const { return Line{std::move(text), newLineEnd_}; }

  std::vector<Block> blocks_{Block{}};
  std::unordered_map<std::string, size_t> sections_;  // folded name -> block, first wins
  LineEnd newLineEnd_ = LineEnd::CrLf;
  bool byteOrderMark_ = false;
};
