// The command line's texts and the program's messages, in code page 437 like
// the dialogue's ("\x84" is the letter a-umlaut, "\x81" u-umlaut, "\x94"
// o-umlaut, "\xe1" sharp s).
#pragma once

#include <string_view>

namespace calc {

inline constexpr std::string_view kHelpText =
    "Aufruf: wellenlaenge [OPTION]...\n"
    "Berechnet aus den Farbwertanteilen x und y einer Farbe (CIE 1931) die\n"
    "farbtongleiche Wellenl\x84nge in Nanometern, bezogen auf den Wei\xe1punkt\n"
    "E (1/3, 1/3) und auf drei Nachkommastellen abgerundet. Purpurfarben haben\n"
    "keine; f\x81r sie steht dort ohne Kennzeichnung die kompensative Wellenl\x84nge.\n"
    "\n"
    "Ohne Option fragt ein Dialog nach x und y: in einem Fenster von 640x480\n"
    "Bildpunkten, wenn eine Anzeige da ist, sonst im Terminal. Die Umgebungs-\n"
    "variable KRGFX nennt den Fenstertreiber, der zuerst versucht wird (X11, unter\n"
    "Windows GDI); KRGFX=null h\x84lt den Bildschirm nur im Speicher. Jeder Dialog\n"
    "schreibt x, y, z und das Ergebnis in die Datei wellenlaenge.txt im aktuellen\n"
    "Ordner und ersetzt dabei ihren alten Inhalt.\n"
    "\n"
    "Optionen:\n"
    "  -h, --help           diese Hilfe zeigen\n"
    "  -V, --version        Version und Lizenz zeigen\n"
    "      --batch [DATEI]  Punkte aus DATEI lesen (ohne DATEI oder mit - von der\n"
    "                       Standardeingabe) und als CSV auf die Standardausgabe\n"
    "                       schreiben, ohne Fenster; wellenlaenge.txt bleibt, wie\n"
    "                       sie ist\n"
    "      --exact          mit --batch: drei Spalten mehr, die genaue\n"
    "                       farbtongleiche Wellenl\x84nge nach CIE, ihre Art und\n"
    "                       den spektralen Farbanteil\n"
    "      --white=WEISS    Wei\xe1punkt dieser drei Spalten: E (Vorgabe), D65, D50,\n"
    "                       A, C oder x,y (etwa 0.3127,0.329); die Spalten davor\n"
    "                       gelten immer f\x81r E\n"
    "Nach -- ist jedes Argument eine DATEI, auch eines mit - am Anfang.\n"
    "\n"
    "Im Stapelbetrieb (--batch) h\x84lt jede Zeile x und y, gelesen wie eine Eingabe\n"
    "im Dialog: getrennt durch ein Komma oder Leerzeichen (0.3127,0.329), ein\n"
    "fehlendes y gilt als 0. Leere Zeilen, Zeilen mit # am Anfang und eine erste\n"
    "Zeile ohne Ziffer werden \x81"
    "bergangen. Die Ausgabe beginnt mit der Kopfzeile\n"
    "x,y,z,wavelength_nm,kind; kind ist dominant, complementary (die kompensative\n"
    "Wellenl\x84nge) oder none (keine Wellenl\x84nge, das Feld bleibt leer).\n"
    "\n"
    "Mit --exact folgen exact_wavelength_nm,exact_kind,excitation_purity: die\n"
    "Wellenl\x84nge, wo der Strahl vom Wei\xe1punkt durch (x, y) den Spektralfarbenzug\n"
    "trifft (CIE 1931, 2 Grad, 360 bis 830 nm, zwischen den Nanometern linear),\n"
    "ungerundet; bei Purpurfarben die kompensative, wo der Gegenstrahl ihn trifft.\n"
    "exact_kind ist dominant, complementary oder none (am Wei\xe1punkt, bei nicht\n"
    "endlichen Werten) wie kind. excitation_purity ist der spektrale Farbanteil:\n"
    "der Abstand vom Wei\xe1punkt zum Punkt durch den zum Rand in derselben Richtung\n"
    "(Spektralfarbenzug oder Purpurgerade), 1 auf dem Rand, \x81"
    "ber 1 au\xe1"
    "erhalb.\n"
    "\n"
    "Exit-Status:\n"
    "  0  alles in Ordnung\n"
    "  1  eine Zeile von --batch war nicht lesbar, die Ausgabe lie\xe1 sich nicht\n"
    "     schreiben, oder wellenlaenge.txt lie\xe1 sich nicht anlegen oder\n"
    "     schreiben (jeweils mit einer Meldung auf der Standardfehlerausgabe)\n"
    "  2  falscher Aufruf (unbekannte Option, fehlender oder unerlaubter Wert,\n"
    "     ung\x81ltiger Wei\xe1punkt, --exact oder --white am falschen Platz), oder\n"
    "     DATEI l\x84sst sich nicht \x94"
    "ffnen\n"
    "  128+n  beendet durch Signal n (Strg+C 130, SIGTERM 143, Auflegen 129)\n";
inline constexpr std::string_view kLicenseLine =
    "Lizenz GPLv2+: GNU GPL Version 2 oder jede sp\x84tere, ohne jede Gew\x84hrleistung";
inline constexpr std::string_view kUnknownOption = "unbekannte Option";
inline constexpr std::string_view kNeedsValue = "Wert fehlt bei";
inline constexpr std::string_view kTakesNoValue = "kein Wert erlaubt bei";
inline constexpr std::string_view kExactWithoutBatch = "--exact und --white gelten nur mit --batch";
inline constexpr std::string_view kWhiteWithoutExact = "--white gilt nur mit --exact";
inline constexpr std::string_view kNotAWhite =
    "ist kein Wei\xe1punkt (E, D65, D50, A, C oder x,y)";
inline constexpr std::string_view kWhiteOutside =
    "liegt nicht innerhalb von Spektralfarbenzug und Purpurgerade";
inline constexpr std::string_view kSeeHelp = "(Hilfe: wellenlaenge --help)";
inline constexpr std::string_view kCannotOpen =
    "l\x84sst sich nicht \x94"
    "ffnen";
inline constexpr std::string_view kStandardInputName = "Standardeingabe";
inline constexpr std::string_view kLine = "Zeile";
inline constexpr std::string_view kNotUtf8 =
    "kein g\x81ltiger UTF-8-Text, \x81"
    "bergangen";
inline constexpr std::string_view kNotCp437 =
    "Zeichen au\xe1"
    "erhalb von Codepage 437, \x81"
    "bergangen";
inline constexpr std::string_view kTooLong =
    "l\x84nger als 4096 Bytes, \x81"
    "bergangen";
inline constexpr std::string_view kReadError = "Lesefehler, Eingabe abgebrochen";
inline constexpr std::string_view kWriteError = "Schreibfehler";
inline constexpr std::string_view kStandardOutputName = "Standardausgabe";
inline constexpr std::string_view kResultFileNotWritten = "l\x84sst sich nicht schreiben";
inline constexpr std::string_view kNoMemoryForLine = "zu wenig Speicher f\x81r die Eingabezeile";
inline constexpr std::string_view kErrorOther = "Ein-/Ausgabefehler";
inline constexpr std::string_view kHasZeroByte =
    "Nullbyte im Text, \x81"
    "bergangen";

}  // namespace calc
