#include "print/PrintSettings.h"

#include <QSettings>

namespace quorvex {
namespace {

QString Key(const QString& key) { return kSectionOknoDrukuj + u'/' + key; }

QString ReadString(const QSettings& file, const QString& key) {
    const QVariant v = file.value(Key(key));
    // A text with a comma comes back as a list; join it again.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(u',');
    return v.toString();
}

bool ReadBool(const QSettings& file, const QString& key, bool def) {
    bool ok = false;
    const int n = ReadString(file, key).trimmed().toInt(&ok);
    return ok ? n != 0 : def;
}

QString LineKey(const char* stem, int line) { return QString::fromLatin1(stem) + QString::number(line); }

}  // namespace

PrintSettings LoadPrintSettings(const QString& path) {
    const QSettings file(path, QSettings::IniFormat);
    PrintSettings s;
    s.header = ReadBool(file, QStringLiteral("boolHeader"), false);
    s.name = ReadBool(file, QStringLiteral("boolName"), true);
    s.number = ReadBool(file, QStringLiteral("boolNumber"), true);
    s.interval = ReadBool(file, QStringLiteral("boolInterval"), true);
    s.firstLog = ReadBool(file, QStringLiteral("boolFirstLog"), true);
    s.printDate = ReadBool(file, QStringLiteral("boolPrintDate"), true);
    s.footer = ReadBool(file, QStringLiteral("boolFooter"), false);
    for (int i = 0; i < kPrintMemoLines; ++i) {
        s.headerLines[i] = ReadString(file, LineKey("Header", i + 1));
        s.footerLines[i] = ReadString(file, LineKey("Footer", i + 1));
    }
    return s;
}

bool SavePrintSettings(const QString& path, const PrintSettings& s) {
    QSettings file(path, QSettings::IniFormat);
    auto writeBool = [&](const char* key, bool value) { file.setValue(Key(QString::fromLatin1(key)), value ? 1 : 0); };
    writeBool("boolHeader", s.header);
    writeBool("boolName", s.name);
    writeBool("boolNumber", s.number);
    writeBool("boolInterval", s.interval);
    writeBool("boolFirstLog", s.firstLog);
    writeBool("boolPrintDate", s.printDate);
    writeBool("boolFooter", s.footer);
    for (int i = 0; i < kPrintMemoLines; ++i) {
        file.setValue(Key(LineKey("Header", i + 1)), s.headerLines.value(i));
        file.setValue(Key(LineKey("Footer", i + 1)), s.footerLines.value(i));
    }
    file.sync();
    return file.status() == QSettings::NoError;
}

}  // namespace quorvex
