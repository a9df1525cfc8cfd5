#include "resources/resource_table.h"

#include <algorithm>
#include <array>

namespace quillmere::resources {
namespace {

constexpr ResourceEntry Button(int number, const char* file, Look look) {
  return {number, file, look, 20, 20};
}

constexpr std::array kTable = {
    ResourceEntry{kAppIcon, "app_icon.svg", Look::Fixed, 64, 64},
    ResourceEntry{kFooterBanner, "banner_footer.svg", Look::Fixed, 801, 39},
    ResourceEntry{kLeftPanelBanner, "banner_left_panel.svg", Look::Fixed, 151, 514},
    ResourceEntry{kHeaderBanner, "banner_header.svg", Look::Fixed, 800, 73},
    ResourceEntry{kAboutBanner, "banner_about.svg", Look::Fixed, 395, 85},
    Button(192, "button_info.svg", Look::Normal),
    Button(193, "button_info.svg", Look::Hover),
    Button(194, "button_add_file.svg", Look::Normal),
    Button(195, "button_add_file.svg", Look::Hover),
    Button(198, "button_back.svg", Look::Normal),
    Button(199, "button_back.svg", Look::Hover),
    Button(202, "button_cross.svg", Look::Normal),
    Button(203, "button_cross.svg", Look::Hover),
    Button(204, "button_help.svg", Look::Normal),
    Button(205, "button_help.svg", Look::Hover),
    Button(206, "button_next.svg", Look::Normal),
    Button(207, "button_next.svg", Look::Hover),
    Button(210, "button_process.svg", Look::Normal),
    Button(211, "button_process.svg", Look::Hover),
    Button(212, "button_remove_all.svg", Look::Normal),
    Button(213, "button_remove_all.svg", Look::Hover),
    Button(214, "button_stop.svg", Look::Normal),
    Button(215, "button_stop.svg", Look::Hover),
    // Search Files has its hover image first.
    Button(220, "button_search.svg", Look::Hover),
    Button(221, "button_search.svg", Look::Normal),
    Button(222, "button_preview.svg", Look::Normal),
    Button(223, "button_preview.svg", Look::Hover),
    Button(224, "button_remove_file.svg", Look::Normal),
    Button(225, "button_remove_file.svg", Look::Hover),
    Button(226, "button_door.svg", Look::Normal),
    Button(227, "button_door.svg", Look::Hover),
    Button(228, "button_minimise.svg", Look::Normal),
    Button(229, "button_minimise.svg", Look::Hover),
};

static_assert(std::is_sorted(kTable.begin(), kTable.end(),
                             [](const ResourceEntry& a, const ResourceEntry& b) { return a.number < b.number; }));

}  // namespace

std::span<const ResourceEntry> AllResources() { return kTable; }

std::optional<ResourceEntry> FindResource(int number) {
  const auto it = std::lower_bound(kTable.begin(), kTable.end(), number,
                                   [](const ResourceEntry& e, int n) { return e.number < n; });
  if (it == kTable.end() || it->number != number) return std::nullopt;
  return *it;
}

}  // namespace quillmere::resources
