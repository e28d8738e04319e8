#pragma once
// The raw text of profile entries, read from and written to the file or, while a batch
// of that file is open, its in-memory copy. Calls on one file are serialised; calls on
// different files run side by side.
#include <string>

// The stored value, blanks trimmed (not yet cut or checked against the sentinel); false
// when the file, the section or the key is missing or the file cannot be read.
bool ReadProfileEntry(const std::string& file, const std::string& section, const std::string& key,
                      std::string& value);
// Sets the entry, creating the file and the section as needed. Without a batch the file
// is read, changed and replaced at once; false when the names cannot be written (see
// IniDocument), the file cannot be read, or it cannot be replaced.
bool WriteProfileEntry(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value);
