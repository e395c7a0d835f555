// Whether the desktop draws translucent top-level windows over what lies beneath them.
#pragma once

namespace lintrel {

// True where a window's transparent pixels show the desktop beneath: on X11 only while a
// compositing manager runs (it owns the _NET_WM_CM_S<screen> selection), otherwise where the
// platform composes windows itself (Wayland, offscreen, Windows, macOS, eglfs). Asked afresh
// at each call, as a compositor may start or stop at any time.
bool desktopDrawsTranslucentWindows();

} // namespace lintrel
