#include "app/WindowPlace.h"

#include <algorithm>

#include "support/ProfileStore.h"

const char* const kWindowPlaceSection = "MAIN WINDOW";

namespace {
const char kLeft[] = "Left";
const char kTop[] = "Top";
const char kWidth[] = "Width";
const char kHeight[] = "Height";
const char kMaximised[] = "Maximized";
// No window is larger than this on any screen; a bigger number is a damaged file.
constexpr int32_t kLargest = 32767;
}  // namespace

bool ReadWindowPlace(const std::string& path, WindowPlace& place) {
  WindowPlace read = place;
  if (!ReadProfileInt(path, kWindowPlaceSection, kLeft, read.left) ||
      !ReadProfileInt(path, kWindowPlaceSection, kTop, read.top) ||
      !ReadProfileInt(path, kWindowPlaceSection, kWidth, read.width) ||
      !ReadProfileInt(path, kWindowPlaceSection, kHeight, read.height))
    return false;
  if (read.width <= 0 || read.height <= 0 || read.width > kLargest || read.height > kLargest ||
      read.left < -kLargest || read.left > kLargest || read.top < -kLargest || read.top > kLargest)
    return false;
  read.maximised = false;  // absent: the window opens at its size
  ReadProfileBool(path, kWindowPlaceSection, kMaximised, read.maximised);
  place = read;
  return true;
}

bool WriteWindowPlace(const std::string& path, const WindowPlace& place) {
  ProfileBatch batch(path);
  WriteProfileInt(path, kWindowPlaceSection, kLeft, place.left);
  WriteProfileInt(path, kWindowPlaceSection, kTop, place.top);
  WriteProfileInt(path, kWindowPlaceSection, kWidth, place.width);
  WriteProfileInt(path, kWindowPlaceSection, kHeight, place.height);
  WriteProfileBool(path, kWindowPlaceSection, kMaximised, place.maximised);
  return batch.End();
}

WindowPlace FitWindowPlace(const WindowPlace& remembered, int32_t leastWidth, int32_t leastHeight,
                           const ScreenArea& screen) {
  WindowPlace fit = remembered;
  const int32_t roomWidth = std::max(screen.width, leastWidth);
  const int32_t roomHeight = std::max(screen.height, leastHeight);
  fit.width = std::clamp(remembered.width, leastWidth, roomWidth);
  fit.height = std::clamp(remembered.height, leastHeight, roomHeight);
  // The whole window on the screen where it fits, else its top left corner.
  fit.left = std::clamp(remembered.left, screen.left, screen.left + roomWidth - fit.width);
  fit.top = std::clamp(remembered.top, screen.top, screen.top + roomHeight - fit.height);
  return fit;
}
