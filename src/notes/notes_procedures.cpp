#include "shell/module1.h"

// Placeholders until the windows of this area are built.
namespace Module1 {

void LoadNoteList()
{
}

void SaveNote()
{
}

void ViewNote()
{
}

void DeleteNote()
{
}

} // namespace Module1
