// The windows of this part, each a single instance made on first use by the app layer's
// registry (app/forms.cpp).
#pragma once

#include "controls/program_frame.h"

class NotesWindow;

namespace Forms {

NotesWindow *Form2();

} // namespace Forms
