// Moving texts between Qt's UTF-16 strings and the calendar core's texts of
// Unicode code points.
#pragma once

#include <QString>

#include "services.h"

inline QString ToQString(const Runtime::Text& text) { return QString::fromStdU32String(text); }

// A fresh copy: the calendar routines may rewrite the text they are given,
// and this keeps them away from the storage of any control.
inline Runtime::Text ToText(const QString& text) { return text.toStdU32String(); }
