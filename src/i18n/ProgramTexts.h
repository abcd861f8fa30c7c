#pragma once
// The program's numbered texts ("[1004]Brak komunikacji z Loggerem") reach every part of the
// program through Qt's own translation mechanism: the main window (or the command-line
// session) owns one ProgramTexts, installs it into the application object and sets its
// language; TranslateText anywhere, on any thread, then gives the wording of that language.
// Nothing below the windows needs to be handed a translator, and the transmission thread
// may translate its link status while the window switches language.
#include <QString>
#include <QTranslator>

#include <atomic>

namespace quorvex {

class ProgramTexts : public QTranslator {
public:
    // Polish until told otherwise.
    ProgramTexts();
    // Leaves the application's translators (QTranslator does).
    ~ProgramTexts() override = default;

    // Into the running application's translators, ahead of any installed before; false
    // without an application object.
    bool Install();

    // One of the stored language names; any other name reads as Polish.
    void SetLanguage(const QString& language);
    QString Language() const;

    // The wording of a numbered text in the current language; nothing for any other text, or
    // for an id the string table lacks.
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

    // The translation context of every numbered text.
    static constexpr char kContext[] = "quorvex";

private:
    enum : int { kPolish, kEnglish, kGerman };
    std::atomic<int> language_{kPolish};
};

// A numbered text in the language of the installed ProgramTexts; while none is installed,
// its Polish wording (the text without the "[id]" prefix). Any other text comes back
// unchanged. Safe on any thread.
QString TranslateText(const QString& text);

// What could not be done with a file, the file and why, one a line: "<what>:", the path,
// the reason (left out when empty). A box shows the lines as they are; a one-line form
// (quorvex-cli) joins them as "<what>: <path>: <reason>".
QString FileProblemText(const QString& what, const QString& path, const QString& reason);

// A counted text holds one wording per grammatical number, separated by "|", each with %1 where
// the count goes: Polish three ("%1 rekord|%1 rekordy|%1 rekordów": 1; 2–4, 22–24, … but not
// 12–14; every other count), English and German two ("%1 record|%1 records": 1; every other).
// The number of wordings tells which rule holds, so the string table needs nothing more.
// CountForm picks the wording for `count` from wordings already in one language (a wording
// without "|" is taken as it is); %1 stays for the caller.
QString CountForm(const QString& wordings, qint64 count);
// The numbered counted text in the current language, its wording for `count` with %1 filled by
// `shown` (the count itself when empty: "12/250" may stand for 250); %2… stay for arg().
QString CountText(const QString& numbered, qint64 count, const QString& shown = {});

}  // namespace quorvex
