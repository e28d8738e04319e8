#include "support/IniDocument.h"

#include <utility>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

// Latin-1 case folding: A-Z and the accented capitals (but not the multiplication sign).
std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
      c = static_cast<char>(u + 0x20);
  }
  return out;
}

enum class LineKind { Other, Header, Entry };

// What a line is, and its section name or key (trimmed) when it is a header or an entry.
LineKind Classify(std::string_view line, std::string_view& name) {
  std::string_view t = TrimLeft(line);
  if (t.empty() || t[0] == ';') return LineKind::Other;
  if (t[0] == '[') {
    size_t close = t.find(']');
    if (close == std::string_view::npos) return LineKind::Other;
    name = Trim(t.substr(1, close - 1));
    return LineKind::Header;
  }
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return LineKind::Other;
  name = Trim(t.substr(0, eq));
  return name.empty() ? LineKind::Other : LineKind::Entry;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    doc.byteOrderMark_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  size_t firstLf = bytes.find('\n');
  if (firstLf != std::string_view::npos && (firstLf == 0 || bytes[firstLf - 1] != '\r'))
    doc.newLineEnd_ = LineEnd::Lf;

  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos) {
      doc.AddLine(bytes.substr(pos), LineEnd::None);
      break;
    }
    std::string_view line = bytes.substr(pos, lf - pos);
    LineEnd end = LineEnd::Lf;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
      end = LineEnd::CrLf;
    }
    doc.AddLine(line, end);
    pos = lf + 1;
  }
  return doc;
}

void IniDocument::AddLine(std::string_view text, LineEnd end) {
  std::string_view name;
  LineKind kind = Classify(text, name);
  if (kind == LineKind::Header) {
    blocks_.emplace_back();
    sections_.try_emplace(Fold(name), blocks_.size() - 1);
  }
  Block& block = blocks_.back();
  block.lines.push_back(Line{std::string(text), end});
  size_t index = block.lines.size() - 1;
  if (kind == LineKind::Header) {
    block.insertAt = 1;
  } else if (kind == LineKind::Entry && blocks_.size() > 1) {
    block.keys.try_emplace(Fold(name), index);
    block.insertAt = index + 1;
  }
}

std::string IniDocument::Serialize() const {
  size_t size = byteOrderMark_ ? kByteOrderMark.size() : 0;
  for (const Block& block : blocks_)
    for (const Line& line : block.lines) size += line.text.size() + 2;
  std::string out;
  out.reserve(size);
  if (byteOrderMark_) out += kByteOrderMark;
  for (const Block& block : blocks_) {
    for (const Line& line : block.lines) {
      out += line.text;
      if (line.end == LineEnd::CrLf) out += "\r\n";
      if (line.end == LineEnd::Lf) out += '\n';
    }
  }
  return out;
}

bool IniDocument::IsWritableSection(std::string_view section) {
  section = Trim(section);
  return !section.empty() && !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool IniDocument::IsWritableKey(std::string_view key) {
  key = Trim(key);
  return !key.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
         key[0] != ';' && key[0] != '[';
}

bool IniDocument::Find(std::string_view section, std::string_view key,
                       std::string_view& value) const {
  auto s = sections_.find(Fold(Trim(section)));
  if (s == sections_.end()) return false;
  const Block& block = blocks_[s->second];
  auto k = block.keys.find(Fold(Trim(key)));
  if (k == block.keys.end()) return false;
  std::string_view text = block.lines[k->second].text;
  value = Trim(text.substr(text.find('=') + 1));
  return true;
}

void IniDocument::TerminateLastLine() {
  for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
    if (block->lines.empty()) continue;
    if (block->lines.back().end == LineEnd::None) block->lines.back().end = newLineEnd_;
    return;
  }
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  // An entry is one line: a line break inside the value would cut it and turn the rest
  // into a line of its own, so line breaks are stored as blanks.
  std::string safeValue(value);
  for (char& c : safeValue)
    if (c == '\r' || c == '\n') c = ' ';

  std::string entry;
  entry.reserve(key.size() + 1 + safeValue.size());
  entry.append(key).append("=").append(safeValue);

  std::string foldedSection = Fold(section);
  auto s = sections_.find(foldedSection);
  if (s == sections_.end()) {
    TerminateLastLine();
    Block block;
    std::string header;
    header.reserve(section.size() + 2);
    header.append("[").append(section).append("]");
    block.lines.push_back(NewLine(std::move(header)));
    block.lines.push_back(NewLine(std::move(entry)));
    block.keys.emplace(Fold(key), 1);
    block.insertAt = 2;
    blocks_.push_back(std::move(block));
    sections_.emplace(std::move(foldedSection), blocks_.size() - 1);
    return true;
  }

  Block& block = blocks_[s->second];
  std::string foldedKey = Fold(key);
  auto k = block.keys.find(foldedKey);
  if (k != block.keys.end()) {
    std::string& text = block.lines[k->second].text;
    size_t valueAt = text.find('=') + 1;
    while (valueAt < text.size() && IsBlank(text[valueAt])) ++valueAt;
    // The blanks after "=" stay as the file had them; the new value's own leading blanks
    // would pile up on every rewrite (reads trim them anyway).
    std::string_view newValue = safeValue;
    while (!newValue.empty() && IsBlank(newValue.front())) newValue.remove_prefix(1);
    if (std::string_view(text).substr(valueAt) == newValue) return false;
    text.replace(valueAt, std::string::npos, newValue);
    return true;
  }

  size_t at = block.insertAt;
  if (&block == &blocks_.back() && at == block.lines.size()) TerminateLastLine();
  block.lines.insert(block.lines.begin() + static_cast<std::ptrdiff_t>(at),
                     NewLine(std::move(entry)));
  block.keys.emplace(std::move(foldedKey), at);
  block.insertAt = at + 1;
  return true;
}

size_t IniDocument::LineCount() const {
  size_t n = 0;
  for (const Block& block : blocks_) n += block.lines.size();
  return n;
}
