// The windows of this part, each a single instance made on first use by the app layer's
// registry (app/forms.cpp).
#pragma once

#include "controls/program_frame.h"

class DesktopWindow;
class DeleteButtonDialog;
class ChangeIconDialog;

namespace Forms {

DesktopWindow *Form9();
DeleteButtonDialog *Form10();
ChangeIconDialog *Form11();

} // namespace Forms
