#pragma once

// The dock id given to the front end, which also names its QDockWidget after it.
inline constexpr const char *kDockId = "tovrin";

// Shows and docks the dock whatever state the saved window layout gave it.
void ensureDockVisible();
