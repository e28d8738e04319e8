#include "platform/SystemErrorText.h"

#include <cstring>

std::string SystemErrorText(int error) {
  char buffer[256];
  // GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return std::string(text ? text : "Unknown error") + " (" + std::to_string(error) + ")";
}
