#include "i18n/StringTable.h"

#include <algorithm>

namespace quorvex {
namespace {

// Wordings are kept exactly as the translators delivered them, odd spacing and
// all: operators and the printed reports already know them in this form.
constexpr StringTableEntry kEntries[] = {
    {1, "Change", "Ändern"},
    {2, "Set", "Einstellen"},
    {3, "Start", "Start"},
    {4, "Stop", "Stop"},
    {10, "Start reading", "Auslesen starten"},
    {11, "Stop reading", "Auslesen beenden"},
    {12, "Show graph", "Diagramm anzeigen"},
    {13, "Resume reading", "Auslesen wiederholen"},
    {14, "Save", "Speichern"},
    {15, "Cancel", "Abbrechen"},
    {16, "Print table", "Tabelle drucken"},
    {17, "Properties", "Eigenschaften"},
    {18, "Print", "Drucken"},
    {19, "Save results as TXT file", "Ergebnisse als TXT-Datei speichern"},
    {30, "File", "Datei"},
    {39, "Exit", "Beenden"},
    {40, "Options", "Einstellungen"},
    {41, "Load results", "Ergebnisse auslesen"},
    {42, "Save results", "Ergebnisse speichern"},
    {100, "Measurements", "Messungen"},
    {110, "Name", "Name"},
    {120, "Current status logger", "Aktueller Datenlogger-Zustand"},
    {130, "Clock", "Uhr"},
    {131, "Date", "Datum"},
    {132, "Time", "Zeit"},
    {133, "Reading time from computer", "Zeit vom Computer übernehmen"},
    {134, "Reading time from logger", "Zeit vom Logger übernehmen"},
    {140, "Temperature", "Temperatur"},
    {141, "Upper threshold", "Oberer Grenzwert"},
    {142, "Lower threshold", "Unterer Grenzwert"},
    {150, "Humidity", "Feuchtigkeit"},
    {200, "Registration", "Registrierung"},
    {210, "Parameters of starts and registration ", "Registrierungs- und Startparameter"},
    {211, "Start of logging:", "Loginstart:"},
    {220, "The way to start the registration:", "Art des Registrierungsstarts:"},
    {221, "button on the logger", "mit der Taste auf dem Datenlogger"},
    {222, "from computer directly ", "direkt vom Computer"},
    {223, "about established time", "zum festgelegten Zeitpunkt"},
    {230, "After filling memory:", "Nachdem der Speicher voll ist:"},
    {231, "stop work logger", "den Datenlogger außer Betrieb setzten"},
    {232, "register again", "vom Anfang an registrieren"},
    {240, "Parameters of record ", "Speicherungsparameter"},
    {241, "Write interval:", "Aufzeichnungsfrequenz:"},
    {242, "Number of recorded logs:", "Anzahl von gespeicherten Messungen:"},
    {300, "Results", "Ergebnisse"},
    {310, "Recorded data", "Ergebnisse der Registrierung"},
    {320, "Logger data", "Datenlogger-Angaben"},
    {500, "Device", "Gerät"},
    {510, "Device parameters", "Geräteparameter"},
    {511, "Type:", "Typ:"},
    {512, "Serial number:", "Seriennummer:"},
    {513, "Production date", "Herstellungsdatum:"},
    {515, "Hardware version:", "Version der internen Software:"},
    {516, "Number of measurements from the beginning:", "Anzahl der vom Anfang an durchgeführten Messungen:"},
    {517, "Condition of battery:", "Batteriestand:"},
    {600, "Change parametr", "Den Parameter ändern"},
    {601, "Reading parameters", "Die Parameter abfragen"},
    {602, "Reports", "Reports"},
    {603, "Service", "Service"},
    {604, "Adjustment", "Adjustment"},
    {605, "Temperature adjustment", "Temperature adjustment"},
    {606, "Humidity adjustment", "Humidity adjustment"},
    {700, "Print", "Drucken"},
    {710, "Printer", "Drucker"},
    {711, "Name:", "Name:"},
    {720, "Header", "Kopfzeile"},
    {721, "Description", "Bezeichnung"},
    {740, "Footer", "Fußzeile"},
    {1000, "Unable to open port", "Fehler bei der Portöffnung"},
    {1001, "Port does not exist or is opened by another application", "Der Port nicht vorhanden"},
    {1002, "USB cable disconnected", "Der USB-Kabel getrennt"},
    {1003, "from the computer", "vom Computer"},
    {1004, "Communication with the logger stopped", "Keine Kommunikation mit dem Datenlogger"},
    {1005, "Logger connected", "Der Datenlogger ist angeschlossen"},
    {1006, "Reading of data from the Logger", "Die Daten werden jetzt vom Datenlogger ausgelesen"},
    {1007, "Logger does not record", "Der Datenlogger registriert nicht"},
    {1008, "Launch button on the device", "Mit der Taste am Gerät starten"},
    {1009, "Launch from  computer by clicking Start button", "Mit der START-Taste am Computer starten"},
    {1010, "Awaiting the start of fixed-time", "Start zum festgelegten Zeitpunkt erwartet"},
    {1011, "To start work, change the registration parameters", "Zum Inbetriebsetzen Registrierungsparameter ändern"},
    {1012, "Logger running", "Der Datenlogger im Betrieb"},
    {1013, "To exit press the Stop button", "Zum Stoppen des Logins die 'STOP'-Taste drücken"},
    {1020, "Error", "Fehler"},
    {1021, "Selected port", "Der ausgewählte Port"},
    {1022, "-closed", "-zu"},
    {1023, "-opened", "-auf"},
    {1024, "-unable to open", "-es ist ein Öffnungsfehler aufgetreten"},
    {1025, "-cable connected", "-der Kabel ist angeschlossen"},
    {1026, "-cable disconnected", "-der Kabel ist getrennt"},
    {1030, "Reading data", "Die Daten werden vom Datenlogger ausgelesen"},
    {1031, "Downloaded", "Heruntergeladen wurden"},
    {1032, "logs", "Logdateien"},
    {1033, "Read data interrupted", "Auslesen von Daten unterbrochen"},
    {1034, "Not all data has been read", "Nicht alle Daten wurden ausgelesen"},
    {1035, "Reading interrupted", "Auslesen unterbrochen"},
    {1036, "Reading data complete", "Auslesen beendet"},
    {1037, "Name:", "Name:"},
    {1038, "Type:", "Typ:"},
    {1039, "Number:", "Nummer:"},
    {1040, "Period:", "Aufzeichnungsfrequenz:"},
    {1041, "Name:", "Name:"},
    {1042, "Start reading", "Auslesen wird gestartet"},
    {1043, "data from Logger", "der Daten vom Datenlogger"},
    {1044, "Reading data interrupted", "Auslesen der Logdateien ist unterbrochen worden"},
    {1045, "Can not read the data again", "Auslesen läßt sich nicht neustarten"},
    {1046, "Logger name", "Datenloggername"},
    {1047, "Type, serial number", "Typ, Seriennummer"},
    {1048, "Period", "Aufzeichnungsfrequenz"},
    {1049, "First, last log date", "Daten der Logins"},
    {1050, "Date of printing", "Ausdruckdatum"},
    {1051, "Date of first log", "Datum des ersten Logins"},
    {1052, "Date of last log", "Datum des letzen Logins"},
    {1053, "Name", "Name"},
    {1054, "Type", "Typ"},
    // Texts this program adds to the original table take ids from 2000 up.
    {2000, "Can not save the results file", "Die Ergebnisdatei lässt sich nicht speichern"},
    {2010, "The Logger was found, but the system denied access to it.",
     "Der Datenlogger wurde gefunden, aber das System verweigert den Zugriff darauf."},
    {2011, "Install the udev rule 70-quorvex-logger.rules in /etc/udev/rules.d and plug the Logger in again.",
     "Installieren Sie die udev-Regel 70-quorvex-logger.rules in /etc/udev/rules.d und schließen Sie den "
     "Datenlogger erneut an."},
    {2020, "Can not write the PDF file", "Die PDF-Datei lässt sich nicht schreiben"},
    {2021, "PDF file", "PDF-Datei"},
    {2022, "The page is too small for the table", "Die Seite ist zu klein für die Tabelle"},
    {2023, "Can not start printing on", "Der Druck lässt sich nicht starten auf"},
    {2024, "Save the printout as PDF", "Ausdruck als PDF speichern"},
    // Correction dialog labels and the parameter dialogs' input errors.
    {2050, "Temperature correction:", "Temperaturkorrektur:"},
    {2051, "Humidity correction:", "Feuchtigkeitskorrektur:"},
    {2052, "Parameter upper threshold.", "Parameter oberer Grenzwert."},
    {2053, "Parameter lower threshold.", "Parameter unterer Grenzwert."},
    {2054, "Parameter temperature correction.", "Parameter Temperaturkorrektur."},
    {2055, "Parameter humidity correction.", "Parameter Feuchtigkeitskorrektur."},
    {2056, "The value entered must be a number", "Der eingegebene Wert muss eine Zahl sein"},
    {2057, "The number entered is outside the range", "Die eingegebene Zahl liegt außerhalb des Bereichs"},
    {2058, "The thresholds have not been read from the logger yet.",
     "Die Grenzwerte wurden noch nicht vom Datenlogger ausgelesen."},
    // Log download.
    {2060, "Not all logs stored in the Logger have been downloaded",
     "Es wurden nicht alle im Datenlogger gespeicherten Logs ausgelesen"},
    // Parameter dialogs opened before the logger has confirmed their values.
    {2070, "The parameters have not been read from the logger yet. Try again in a moment.",
     "Die Parameter wurden noch nicht vom Datenlogger gelesen. Versuchen Sie es gleich noch einmal."},
    // Link troubles: a reset with no logger, a logger whose reports do not fit, a serial port
    // the user may not open.
    {2080, "No logger is connected - the reset was not sent.",
     "Kein Datenlogger angeschlossen - das Zurücksetzen wurde nicht gesendet."},
    {2081, "Logger connected but not usable", "Datenlogger angeschlossen, aber nicht nutzbar"},
    {2082, "Unsupported USB report format", "Nicht unterstütztes USB-Berichtsformat"},
    {2083, "No permission to open the port", "Keine Berechtigung, den Anschluss zu öffnen"},
    {2084, "The device belongs to the group", "Das Gerät gehört zur Gruppe"},
    {2085, "Add your user to this group, for example:", "Fügen Sie Ihren Benutzer dieser Gruppe hinzu, zum Beispiel:"},
    {2086, "Then log out and log in again.", "Melden Sie sich anschließend ab und wieder an."},
    // Opening a results file and what can be wrong with one.
    {2120, "Open results file…", "Ergebnisdatei öffnen…"},
    {2121, "Results from file", "Ergebnisse aus der Datei"},
    {2122, "Loaded", "Geladen wurden"},
    {2123, "Can not open the results file", "Die Ergebnisdatei lässt sich nicht öffnen"},
    {2124, "Line", "Zeile"},
    {2125, "the file is empty", "die Datei ist leer"},
    {2126, "this is not a results file of this program", "keine Ergebnisdatei dieses Programms"},
    {2127, "record number out of order", "Datensatznummer außer der Reihe"},
    {2128, "the date or time cannot be read", "Datum oder Uhrzeit nicht lesbar"},
    {2129, "not a valid number", "keine gültige Zahl"},
    {2130, "incomplete line", "unvollständige Zeile"},
    {2131, "too many fields in the line", "zu viele Felder in der Zeile"},
    {2132, "time earlier than in the line before", "Zeit früher als in der vorigen Zeile"},
    {2133, "Data is being read from the logger. Stop reading before opening a file.",
     "Die Daten werden gerade ausgelesen. Beenden Sie das Auslesen, bevor Sie eine Datei öffnen."},
    {2134, "Results files", "Ergebnisdateien"},
    // The summary of the results.
    {2135, "Summary", "Zusammenfassung"},
    {2136, "Number of records", "Anzahl der Datensätze"},
    {2137, "Minimum temperature", "Minimale Temperatur"},
    {2138, "Maximum temperature", "Maximale Temperatur"},
    {2139, "Mean temperature", "Mittlere Temperatur"},
    {2140, "Minimum humidity", "Minimale Feuchtigkeit"},
    {2141, "Maximum humidity", "Maximale Feuchtigkeit"},
    {2142, "Mean humidity", "Mittlere Feuchtigkeit"},
    {2143, "Time above upper threshold", "Zeit über dem oberen Grenzwert"},
    {2144, "Time below lower threshold", "Zeit unter dem unteren Grenzwert"},
    {2145, "Excursions above upper threshold", "Überschreitungen des oberen Grenzwerts"},
    {2146, "Excursions below lower threshold", "Unterschreitungen des unteren Grenzwerts"},
    {2147, "Mean kinetic temperature (MKT)", "Mittlere kinetische Temperatur (MKT)"},
    {2148, "First record", "Erster Datensatz"},
    {2149, "Last record", "Letzter Datensatz"},
    {2150, "Fast reading", "Schnelles Auslesen"},
    // The record-number column, page numbers, files written, the Help menu and the recent files.
    {2200, "No.", "Nr."},
    {2201, "Page %1/%2", "Seite %1/%2"},
    {2202, "Save results to file", "Ergebnisse in Datei speichern"},
    {2203, "Results saved to", "Ergebnisse gespeichert in"},
    {2204, "Printout saved to", "Ausdruck gespeichert in"},
    {2205, "Help", "Hilfe"},
    {2206, "About", "Über das Programm"},
    {2207, "Recent files", "Zuletzt geöffnet"},
    {2208, "No recent files", "Keine zuletzt geöffneten Dateien"},
    {2209, "Companion program of the temperature and humidity data logger",
     "Begleitprogramm zum Temperatur- und Feuchtigkeitsdatenlogger"},
    {2210, "Licence: all rights reserved; no licence has been granted yet.",
     "Lizenz: alle Rechte vorbehalten; eine Lizenz wurde noch nicht erteilt."},
    {2211, "Settings file", "Einstellungsdatei"},
    {2212, "Results are saved by default in", "Ergebnisse werden standardmäßig gespeichert in"},
    {2213, "Manual", "Handbuch"},
    {2214, "Version", "Version"},
    {2215, "It has been removed from the recent files.", "Sie wurde aus den zuletzt geöffneten Dateien entfernt."},
};

constexpr bool IdsAscendAndFit() {
  for (std::size_t i = 0; i < std::size(kEntries); ++i) {
    if (kEntries[i].id < 0 || kEntries[i].id >= kTextIdLimit) return false;
    if (i > 0 && kEntries[i - 1].id >= kEntries[i].id) return false;
  }
  return true;
}
static_assert(IdsAscendAndFit(), "string table ids must be unique, ascending and below 10000");

const StringTableEntry* FindEntry(int id) {
  const auto* end = std::end(kEntries);
  const auto* it = std::lower_bound(std::begin(kEntries), end, id,
                                    [](const StringTableEntry& e, int key) { return e.id < key; });
  return (it != end && it->id == id) ? it : nullptr;
}

}  // namespace

std::span<const StringTableEntry> StringTableEntries() { return kEntries; }

QString LoadStringResource(int resourceId) {
  if (resourceId >= kEnglishResourceBase && resourceId < kEnglishResourceBase + kTextIdLimit) {
    if (const auto* e = FindEntry(resourceId - kEnglishResourceBase)) return QString::fromUtf8(e->english);
  } else if (resourceId >= kGermanResourceBase && resourceId < kGermanResourceBase + kTextIdLimit) {
    if (const auto* e = FindEntry(resourceId - kGermanResourceBase)) return QString::fromUtf8(e->german);
  }
  return {};
}

}  // namespace quorvex
