// The faces the window draws its texts in.
#pragma once

#include <QFont>

// Registers the Persian face that ships with the program (Vazirmatn UI),
// which stands in for Tahoma on systems that lack it. Safe to call more than
// once; needs a running QGuiApplication.
void LoadBundledFonts();

// Tahoma at the given size, falling back to the bundled Persian face.
QFont PersianUiFont(qreal pointSize);

// Arial at the given size, falling back to its metric-compatible stand-in.
QFont ArialFont(qreal pointSize);
