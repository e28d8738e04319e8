#include "pcm/TmatsText.h"

#include <strings.h>

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string FormatTmats(const TmatsAttributes& attributes) {
  std::string text;
  for (const TmatsAttribute& a : attributes) text += a.Code + ":" + TmatsSafe(a.Value) + ";\r\n";
  return text;
}

bool ParseTmats(const std::string& text, TmatsAttributes& attributes, std::string& error) {
  TmatsAttributes parsed;
  size_t start = 0;
  int line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') ++line;
    if (c >= 0x80 || (c < 0x20 && c != '\r' && c != '\n' && c != '\t')) {
      error = "line " + std::to_string(line) + ": not plain ASCII";
      return false;
    }
    if (c != ';') continue;
    const std::string statement = text.substr(start, i - start);
    start = i + 1;
    const size_t colon = statement.find(':');
    if (colon == std::string::npos) {
      if (Trim(statement).empty()) continue;
      error = "line " + std::to_string(line) + ": \"" + Trim(statement) + "\" has no \":\"";
      return false;
    }
    parsed.push_back({Trim(statement.substr(0, colon)), Trim(statement.substr(colon + 1))});
  }
  if (!Trim(text.substr(start)).empty()) {
    error = "line " + std::to_string(line) + ": the last attribute has no \";\"";
    return false;
  }
  attributes = std::move(parsed);
  return true;
}

const std::string* FindTmats(const TmatsAttributes& attributes, const std::string& code) {
  for (const TmatsAttribute& a : attributes) {
    if (::strcasecmp(a.Code.c_str(), code.c_str()) == 0) return &a.Value;
  }
  return nullptr;
}

std::string TmatsSafe(const std::string& value) {
  std::string safe;
  for (char c : value) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == ';') {
      safe += ',';
    } else if (u >= 0x20 && u < 0x7F) {
      safe += c;
    }
  }
  return safe;
}
