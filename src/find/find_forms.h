// The window of this part, a single instance made on first use by the app layer's registry
// (app/forms.cpp).
#pragma once

class FindWindow;

namespace Forms {

FindWindow *FormFind();

} // namespace Forms
