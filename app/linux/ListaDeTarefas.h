#pragma once

class QWidget;

namespace velmora {

// Keeps a top-level window off the taskbar and the pager: on X11 the window carries
// _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER. A window manager drops the window's
// state when it is withdrawn (hidden), so this is called again before every show. Elsewhere
// (Wayland has no protocol for it, the offscreen platform no taskbar) it does nothing and says so
// by returning false.
bool retiraDaListaDeTarefas(QWidget& janela);

}  // namespace velmora
