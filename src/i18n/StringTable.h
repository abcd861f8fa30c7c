#pragma once
// The English and German wordings of every numbered text, compiled into the
// program. A numbered text "[id]Polish wording" keeps its Polish wording in the
// code; the other languages are found here under resource id + 10000 (English)
// and id + 20000 (German).

#include <QString>

#include <span>

namespace quorvex {

inline constexpr int kEnglishResourceBase = 10000;
inline constexpr int kGermanResourceBase = 20000;
// Ids are below 10000, so the two resource ranges never overlap.
inline constexpr int kTextIdLimit = 10000;

struct StringTableEntry {
    int id;
    const char* english;  // UTF-8
    const char* german;   // UTF-8
};

// Every entry, sorted by id.
std::span<const StringTableEntry> StringTableEntries();

// The text of one string resource (id + 10000 or id + 20000); the empty text
// when the table has no such resource.
QString LoadStringResource(int resourceId);

}  // namespace quorvex
