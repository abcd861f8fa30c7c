#pragma once
// The print dialog's choices as kept in section "OknoDrukuj" of the settings
// file: the header switch and its five lines, the five logger facts, the
// summary of the results, and the footer switch with its five lines (kept,
// never printed).
#include <QString>
#include <QStringList>

namespace quorvex {

inline const QString kPrintWindowSection = QStringLiteral("OknoDrukuj");
constexpr int kPrintTextLines = 5;

struct PrintSettings {
    bool header = false;
    QStringList headerLines = QStringList(kPrintTextLines);
    bool name = true;
    bool number = true;
    bool interval = true;
    bool firstLog = true;
    bool printDate = true;
    bool summary = false;
    bool footer = false;
    QStringList footerLines = QStringList(kPrintTextLines);

    friend bool operator==(const PrintSettings&, const PrintSettings&) = default;
};

// Reads the section from the settings file at `path`; every missing key gives its default.
PrintSettings LoadPrintSettings(const QString& path);
// Writes every key of the section (booleans as 1 and 0). False when the file could not be written.
bool SavePrintSettings(const QString& path, const PrintSettings& settings);

}  // namespace quorvex
