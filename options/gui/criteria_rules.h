#pragma once
// What Next on the comparison-criteria page checks and stores, in its order,
// without the controls.
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/run_settings.h"

namespace quillmere::options {

// The action list's entries, by index (the index is what m_action holds).
inline constexpr std::array<const char*, 6> kActionTexts = {
    "Delete Permanently", "Mark as expire",     "Move to deleted folder",
    "Put flag",           "Copy to sub folder", "Move to sub folder"};
// The two actions that need a sub folder name.
bool ActionNeedsSubfolder(int action);

// The check boxes' captions, in criteria order.
inline constexpr std::array<const char*, 8> kCriterionCaptions = {
    "Text",          "Subject",         "Sender Email Address",     "Sender Name",
    "Receiver Name", "Internet Header", "Date and time of Sending", "Attachment Files"};

inline constexpr const char* kNoCriterionText =
    "Please select atleast one comparison criteria to remove duplicate items from pst file(s).";
inline constexpr const char* kEnterFolderNameText = "Please enter folder name.";
inline constexpr const char* kInvalidDestinationText =
    "Please select valid destination path to save new PST files.";

struct CriteriaPageChoices {
  std::array<bool, 8> criteria{};  // in criteria order
  int action = 0;
  std::string subfolderName;  // as typed, not trimmed
  bool makeNewPst = true;     // output mode 1
  std::string destination;    // as typed
  bool addToProfile = true;
};

enum class CriteriaStop { kNone, kNoCriterion, kNoFolderName, kInvalidDestination };

// Applies Next's steps to `settings` in order and gives the step that stopped
// it. What the steps before a stop stored stays stored. `exists` tells
// whether a file or directory of that name exists.
CriteriaStop ApplyCriteriaNext(const CriteriaPageChoices& choices, RunSettings& settings,
                               const std::function<bool(const std::string&)>& exists);

// The folder for new PST files as stored: one "/" added unless it ends in one.
std::string WithTrailingSlash(const std::string& folder);

}  // namespace quillmere::options
