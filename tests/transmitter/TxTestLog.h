#pragma once
// A program log of its own for one test, in a fresh start directory, read back as its
// messages (tag and time stamp cut off).
#include <sstream>
#include <string>
#include <vector>

#include "platform/StartDirectory.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

class TestLog {
 public:
  TestLog() {
    dir_.Enter();
    RecordStartDirectory(true);
    LogStart("1.41", "Qm48", "", "Qm48");
  }
  ~TestLog() { LogEnd(); }

  // The messages written so far.
  std::vector<std::string> Messages() const {
    std::stringstream all(ReadAll(dir_.File("Qm48.Log")));
    std::vector<std::string> messages;
    std::string line;
    while (std::getline(all, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // "TAG  STAMP  message": the stamp and its blanks are 23 characters after the tag.
      const size_t tagEnd = line.find(' ');
      if (tagEnd != std::string::npos && line.size() > tagEnd + 23)
        messages.push_back(line.substr(tagEnd + 23));
    }
    return messages;
  }
  const TempDir& Dir() const { return dir_; }

 private:
  TempDir dir_;
};
