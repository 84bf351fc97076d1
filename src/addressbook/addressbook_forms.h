// The windows of this part, each a single instance made on first use by the app layer's
// registry (app/forms.cpp).
#pragma once

#include "controls/program_frame.h"

class AddressBookWindow;
class AddressEntryEditor;

namespace Forms {

AddressBookWindow *Form3();
AddressEntryEditor *Form7();

} // namespace Forms
