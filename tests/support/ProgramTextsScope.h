#pragma once
// Numbered texts in a chosen language for the life of one test: a ProgramTexts installed into
// the running application (a bare one is made when the test program has none), as the main
// window and the command-line session install theirs.
#include <QCoreApplication>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"

namespace quorvex::test {

class ProgramTextsScope {
public:
    explicit ProgramTextsScope(const QString& language = kLanguagePolish) {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "test";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);  // kept to the end of the test program, as a program's is
        }
        texts_.SetLanguage(language);
        texts_.Install();
    }
    void SetLanguage(const QString& language) { texts_.SetLanguage(language); }

private:
    ProgramTexts texts_;
};

}  // namespace quorvex::test
