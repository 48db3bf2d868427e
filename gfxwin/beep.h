// The platform beep of the window layer is the text layer's one beep service:
// the window installs its bell there, and the bell byte of a print, like the
// line editor, sounds through it.
#pragma once

#include "textio/beep.h"

namespace gfxwin {

using textio::Beep;
using textio::BeepService;
using textio::SetBeepService;

}  // namespace gfxwin
