// The two halves of LoadNoteList, for the notes view's load, which fills the list only when it
// is first looked at.
#pragma once

namespace Module1 {
void LoadNoteList();
void SaveNote();
void ViewNote();
void DeleteNote();
} // namespace Module1

namespace NotesProcedures {
// Fills the list from the notes file and makes its header row current (no note selected).
void FillNoteList();
// Empties the pad, puts "Note" into the name box and disables "Save Note As:".
void ResetPad();
// Shows the notes view in front with note `number` (1-based) in the pad, as "<< View Note"
// does. Text typed in the pad and not saved is replaced only when the user agrees.
void OpenNote(int number);
} // namespace NotesProcedures
