#pragma once
// The logger keeps its name as single bytes in Windows-1250, the code page its names are written in.
#include <cstdint>
#include <vector>

#include <QString>

namespace quorvex::sim {

// Characters the code page cannot hold become '?'.
std::vector<std::uint8_t> ToCp1250(const QString& text);
QString FromCp1250(const std::uint8_t* bytes, std::size_t length);

}  // namespace quorvex::sim
