#include "options/gui/criteria_rules.h"

namespace quillmere::options {
namespace {

// The names the criteria text joins, in criteria order.
constexpr std::array<const char*, 8> kCriterionNames = {
    "Text",          "Subject",         "Sender Email",             "Sender Name",
    "Receiver Name", "Internet Header", "Date and time of sending", "Attachment files"};

}  // namespace

bool ActionNeedsSubfolder(int action) { return action == 4 || action == 5; }

std::string WithTrailingSlash(const std::string& folder) {
  if (!folder.empty() && folder.back() == '/') return folder;
  return folder + "/";
}

CriteriaStop ApplyCriteriaNext(const CriteriaPageChoices& choices, RunSettings& settings,
                               const std::function<bool(const std::string&)>& exists) {
  ComparisonCriteria& c = settings.m_criteria;
  int32_t* flags[] = {&c.text,         &c.subject,        &c.senderEmail, &c.senderName,
                      &c.receiverName, &c.internetHeader, &c.sentTime,    &c.attachments};
  std::string text;
  for (size_t i = 0; i < choices.criteria.size(); ++i) {
    *flags[i] = choices.criteria[i] ? 1 : 0;
    if (choices.criteria[i]) text += std::string(kCriterionNames[i]) + ",";
  }
  if (text.empty()) return CriteriaStop::kNoCriterion;
  text.pop_back();
  settings.m_criteriaText = text;

  const int action = choices.action;
  if (ActionNeedsSubfolder(action)) {
    // Asked whatever the output mode, even while the action list is greyed out.
    if (choices.subfolderName.empty()) return CriteriaStop::kNoFolderName;
    settings.m_subfolderName = choices.subfolderName;
  }
  settings.m_action = action;
  settings.m_actionText = action >= 0 && action < static_cast<int>(kActionTexts.size()) ? kActionTexts[action] : "";

  if (choices.makeNewPst) {
    if (!exists(choices.destination)) return CriteriaStop::kInvalidDestination;
    settings.m_newPstFolder = WithTrailingSlash(choices.destination);
  }
  settings.m_addToProfile = choices.addToProfile ? 1 : 0;
  return CriteriaStop::kNone;
}

}  // namespace quillmere::options
