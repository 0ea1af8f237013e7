#ifndef HALTWICK_SHELL_XSCREEN_H
#define HALTWICK_SHELL_XSCREEN_H

// The scaled window's former name, for code not yet moved to shell/scaledwindow.h.
#include "shell/scaledwindow.h"

namespace GameShell {
namespace XScreen = ScaledWindow;
}

#endif
