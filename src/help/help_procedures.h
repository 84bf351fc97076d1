// The Module1 procedures of the help.
#pragma once

namespace Module1 {
void BuildHelpTopics();
void ShowHelpPage(int page);
} // namespace Module1
