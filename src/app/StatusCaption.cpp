#include "app/StatusCaption.h"

#include <cctype>

#include "app/ProgramVersion.h"

std::string FileTitle(const std::string& path) {
  // Both separators: a last-setup file from an older system may hold a backslash path.
  size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

std::string StatusCaption(bool edited, const std::string& currentFileName, bool connected) {
  std::string title = FileTitle(currentFileName);
  for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string caption = edited ? "*" : "";
  caption += kProgramTitle;
  caption += "  Ver ";
  caption += kProgramVersion;
  caption += "  ";
  caption += title;
  caption += connected ? "  Connected" : "  Disconnected";
  return caption;
}
