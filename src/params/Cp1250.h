#pragma once
// The logger keeps its name as single bytes in Windows-1250, the code page the
// names were always written in. Conversion happens only at the register boundary.
#include <QByteArray>
#include <QString>

namespace quorvex {

// One byte per character; a character without a Windows-1250 byte becomes '?'.
// Characters outside the Basic Multilingual Plane count once (one '?').
QByteArray ToCp1250(const QString& text);

// Bytes 0x81, 0x83, 0x88, 0x90 and 0x98 have no character and become U+FFFD.
QString FromCp1250(const QByteArray& bytes);

}  // namespace quorvex
