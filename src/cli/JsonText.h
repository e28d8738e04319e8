#pragma once
#include <string>

// text as a JSON string literal: quotes and backslashes escaped, every byte outside
// printable ASCII as \u00XX.
std::string JsonString(const std::string& text);
