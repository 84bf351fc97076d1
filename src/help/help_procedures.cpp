#include "shell/module1.h"

// Placeholders until the windows of this area are built.
namespace Module1 {

void BuildHelpTopics()
{
}

void ShowHelpPage(int)
{
}

} // namespace Module1
