#include "print/PrintFace.h"

#include <QFontDatabase>
#include <QStringList>

namespace quorvex {

namespace {

constexpr auto kFallbackFamily = "Liberation Sans";

}  // namespace

QString PrintFaceFamily() {
    // Loaded once, from the files themselves: asked for by name alone, the
    // system's substitution could hand over another face.
    static const QString family = [] {
        QString name;
        for (const char* file : kPrintFaceFiles) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kPrintFaceFolder) + u'/' +
                                                             QString::fromLatin1(file));
            if (id >= 0 && name.isEmpty()) name = QFontDatabase::applicationFontFamilies(id).value(0);
        }
        return name;
    }();
    return family;
}

QFont PrintFont(int points, bool bold) {
    const QString family = PrintFaceFamily();
    QFont font(family.isEmpty() ? QString::fromLatin1(kFallbackFamily) : family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setBold(bold);
    // Advances from the face's design, not rounded to the pixels of a
    // hinting setting that each machine's configuration chooses.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

}  // namespace quorvex
