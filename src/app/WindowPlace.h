#pragma once
// Where the main window stood and how large it was, kept in the last-setup file in a
// section of its own so that the next run opens it there. A file without the section (an
// older one, or none) leaves the window at its first size, centred.
#include <cstdint>
#include <string>

extern const char* const kWindowPlaceSection;  // "MAIN WINDOW"

struct WindowPlace {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;  // the size when not maximised
  int32_t height = 0;
  bool maximised = false;
};

// A rectangle of the screen the window may use.
struct ScreenArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// False (place unchanged) when the section, one of its keys or a usable size is missing.
bool ReadWindowPlace(const std::string& path, WindowPlace& place);
// Writes the section into the file, leaving its other sections as they are.
bool WriteWindowPlace(const std::string& path, const WindowPlace& place);

// A remembered place made fit for this screen: no smaller than the least size, no larger
// than the screen, and moved back onto the screen when it would stand off it (a screen
// that has since grown smaller, or gone).
WindowPlace FitWindowPlace(const WindowPlace& remembered, int32_t leastWidth, int32_t leastHeight,
                           const ScreenArea& screen);
