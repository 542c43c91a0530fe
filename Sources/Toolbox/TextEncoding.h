// The system text encoding (Shift-JIS) and the widgets' strings.
#pragma once

#include <QString>

#include <cstddef>

QString SystemTextToString(const char* sjisText);
// Copies text into buffer (size bytes with the NUL), cut before a character
// that would not fit. Returns the length written.
size_t StringToSystemText(const QString& text, char* buffer, size_t size);
