#pragma once

#include <windows.h>

namespace velmora {

// Twips (1/1440 inch) to pixels at `dpi` dots per inch: 15 twips a pixel at 96.
int pixels(int twips, int dpi);

// The dots per inch the window is drawn at (its monitor's, where the system tells).
int dpiDaJanela(HWND janela);

// Sizes the window to its client area and places every control of the layout, at `dpi`.
void aplicaGeometria(HWND janela, int dpi);

}  // namespace velmora
