#pragma once
// Sets the default locale for one test and restores the previous one; the
// process-wide decimal separator is taken afresh from the locale each time.
#include <QLocale>

#include "params/Codecs.h"

namespace quorvex::test {

class LocaleGuard {
public:
    explicit LocaleGuard(const char* name) : saved_(QLocale()) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        ResetDecimalSeparator();
    }
    ~LocaleGuard() {
        QLocale::setDefault(saved_);
        ResetDecimalSeparator();
    }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    QLocale saved_;
};

inline constexpr const char* kLocales[] = {"pl_PL", "en_US", "de_DE"};

}  // namespace quorvex::test
