// The program's style: the desktop's own style, with the pictures that start-up asks for drawn
// in code and kept, and the frames that style paints from picture files or with long lines
// painted in short pieces (see program_style.cpp).
#pragma once

namespace ProgramStyle {

// Puts the program's style over the application's current one (once; later calls do nothing).
void install();

} // namespace ProgramStyle
