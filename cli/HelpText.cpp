#include "cli/HelpText.h"

namespace tandemix::cli {

std::string_view HelpText() {
    return "Aufruf: tandemix-cli [OPTIONEN] EINGABE1 EINGABE2\n"
           "Vergleicht zwei Dateien oder zwei Verzeichnisse und schreibt den Bericht als\n"
           "HTML-Seiten in das Ausgabeverzeichnis.\n"
           "\n"
           "  -o, --output-dir VERZ      Ausgabeverzeichnis (sonst: Dokumente, Anwendungsdaten,\n"
           "                             temporäres Verzeichnis, Arbeitsverzeichnis)\n"
           "      --ignore-case          Groß-/Kleinschreibung nicht beachten\n"
           "      --ignore-indent        Einrückung nicht beachten\n"
           "  -b, --ignore-space-change  mehrere Leer- und Tabulatorzeichen zählen wie eines,\n"
           "                             am Zeilenende wie keines\n"
           "  -w, --ignore-all-space     Leer- und Tabulatorzeichen nicht beachten\n"
           "      --ignore-matching RE   Text, auf den der reguläre Ausdruck passt, nicht\n"
           "                             beachten; er bleibt sichtbar (RE2-Syntax, mehrfach\n"
           "                             angebbar)\n"
           "  -I, --ignore-matching-lines RE\n"
           "                             Änderungen übergehen, deren Zeilen alle den Ausdruck\n"
           "                             enthalten (wie diff -I; mehrfach angebbar)\n"
           "      --keep-empty-lines     leere Zeilen mitvergleichen\n"
           "      --break-after-tags     nach jedem Tag eine neue Zeile (mit --web Vorgabe)\n"
           "      --no-break-after-tags  auch mit --web nicht nach Tags umbrechen\n"
           "      --strip-tags           alle Tags entfernen\n"
           "      --no-line-numbers      keine Zeilennummern anzeigen\n"
           "      --web                  die Eingaben sind Internet-Adressen\n"
           "      --follow-redirects     Weiterleitungen folgen (mit --web Vorgabe)\n"
           "      --no-follow-redirects  Weiterleitungen nicht folgen\n"
           "      --user NAME            Anmeldung für Internet-Seiten (nur mit --web); das\n"
           "                             Passwort aus TANDEMIX_PASSWORD, sonst vom Terminal\n"
           "      --insecure             Zertifikate für einen anderen Namen oder außerhalb\n"
           "                             ihrer Gültigkeit annehmen (nur mit --web)\n"
           "      --folder-contents      Verzeichnisse nach Inhalt vergleichen (Größe und\n"
           "                             Prüfsumme jeder Datei statt ihrer Zeit; nicht\n"
           "                             mit --web)\n"
           "      --brief                Verzeichnisse Eintrag für Eintrag vergleichen, ohne\n"
           "                             Bericht: je Unterschied eine Zeile (geändert,\n"
           "                             nur-in-1, nur-in-2, art, unlesbar, verschoben)\n"
           "      --exclude MUSTER       Einträge, deren Name auf das Muster passt, samt\n"
           "                             Inhalt auslassen (mehrfach angebbar)\n"
           "      --report framed|single\n"
           "                             Bericht in Rahmenseiten (Vorgabe) oder als eine\n"
           "                             Datei Tandemix-Bericht.html, die überall läuft\n"
           "                             (mit zwei Verzeichnissen: der Baum der Einträge und\n"
           "                             die Zeilen jeder geänderten Datei)\n"
           "      --container hta|htm    Form der Rahmenseite (Vorgabe: htm; nicht mit\n"
           "                             --report single)\n"
           "      --alignment ART        Zeilenzuordnung: greedy (Vorgabe, Vorwärtsdurchlauf)\n"
           "                             oder minimal (kürzeste Änderungsliste)\n"
           "      --open                 den Bericht danach öffnen\n"
           "  -q, --quiet                bei Erfolg nichts ausgeben\n"
           "  -h, --help                 diese Hilfe anzeigen\n"
           "      --version              die Version anzeigen\n"
           "\n"
           "Rückgabewert: 0 keine Unterschiede, 1 Unterschiede, 2 Fehler.\n";
}

std::string_view VersionLine() {
    return "tandemix-cli " TANDEMIX_VERSION "\n";
}

std::string_view UsageLine() {
    return "Aufruf: tandemix-cli [OPTIONEN] EINGABE1 EINGABE2 (mehr mit --help)\n";
}

}  // namespace tandemix::cli
