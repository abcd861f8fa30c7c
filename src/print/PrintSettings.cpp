#include "print/PrintSettings.h"

#include "settings/IniFile.h"

namespace quorvex {
namespace {

QString LineKey(const char* stem, int line) { return QString::fromLatin1(stem) + QString::number(line); }

}  // namespace

PrintSettings LoadPrintSettings(const QString& path) {
    const IniFile file(path);
    auto readBool = [&](const char* key, bool def) {
        return file.ReadBool(kPrintWindowSection, QString::fromLatin1(key), def);
    };
    PrintSettings s;
    s.header = readBool("boolHeader", false);
    s.name = readBool("boolName", true);
    s.number = readBool("boolNumber", true);
    s.interval = readBool("boolInterval", true);
    s.firstLog = readBool("boolFirstLog", true);
    s.printDate = readBool("boolPrintDate", true);
    s.summary = readBool("boolSummary", false);
    s.footer = readBool("boolFooter", false);
    for (int i = 0; i < kPrintTextLines; ++i) {
        s.headerLines[i] = file.ReadString(kPrintWindowSection, LineKey("Header", i + 1), {});
        s.footerLines[i] = file.ReadString(kPrintWindowSection, LineKey("Footer", i + 1), {});
    }
    return s;
}

bool SavePrintSettings(const QString& path, const PrintSettings& s) {
    IniFile file(path);
    auto writeBool = [&](const char* key, bool value) {
        file.WriteBool(kPrintWindowSection, QString::fromLatin1(key), value);
    };
    writeBool("boolHeader", s.header);
    writeBool("boolName", s.name);
    writeBool("boolNumber", s.number);
    writeBool("boolInterval", s.interval);
    writeBool("boolFirstLog", s.firstLog);
    writeBool("boolPrintDate", s.printDate);
    writeBool("boolSummary", s.summary);
    writeBool("boolFooter", s.footer);
    for (int i = 0; i < kPrintTextLines; ++i) {
        file.WriteString(kPrintWindowSection, LineKey("Header", i + 1), s.headerLines.value(i));
        file.WriteString(kPrintWindowSection, LineKey("Footer", i + 1), s.footerLines.value(i));
    }
    return file.Flush();
}

}  // namespace quorvex
