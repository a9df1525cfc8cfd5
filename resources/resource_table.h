#pragma once
// The program's resource numbers and the artwork each one stands for.
// Button images come in pairs: a dark-blue normal look and a purple look
// shown while the mouse is over the button, drawn from one picture.
#include <optional>
#include <span>

namespace quillmere::resources {

enum class Look {
  Fixed,   // drawn as the file has it (banners, the icon)
  Normal,  // dark blue
  Hover,   // purple
};

struct ResourceEntry {
  int number;
  const char* file;  // under :/art/ in the built-in resources
  Look look;
  int width;  // natural size in pixels
  int height;
};

inline constexpr const char* kNormalInk = "#1b3f8c";
inline constexpr const char* kHoverInk = "#7a2fb0";

// Every entry, ordered by number.
std::span<const ResourceEntry> AllResources();
std::optional<ResourceEntry> FindResource(int number);

// Resource numbers used by name in code.
inline constexpr int kAppIcon = 128;
inline constexpr int kFooterBanner = 141;
inline constexpr int kLeftPanelBanner = 142;
inline constexpr int kHeaderBanner = 143;
inline constexpr int kAboutBanner = 183;

}  // namespace quillmere::resources
