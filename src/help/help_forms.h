// The windows of this part, each a single instance made on first use by the app layer's
// registry (app/forms.cpp).
#pragma once

#include "controls/program_frame.h"

class HelpTopicsWindow;
class HelpViewerWindow;

namespace Forms {

HelpTopicsWindow *Form12();
HelpViewerWindow *Form13();

} // namespace Forms
