#!/usr/bin/env python3
"""Writes lang.ini beside this script: the example language file of the
uninstaller, UTF-16 LE with a byte-order mark and CR LF line breaks.

Values cannot hold a semicolon (it starts a comment); "\\n" is a line break,
"%p" the product title, "%d" the installation drive."""

from pathlib import Path

GENERAL = {"default": "English"}

# One section per language: "name" is shown in the language choice, str<id> are
# the texts of the string ids the uninstaller uses.
LANGUAGES = {
    "English": {
        "name": "English",
        52: "Finish",
        71: "Uninstall",
        72: "Are you sure you want to completely remove '%p' and all of its components?",
        73: "Remove Programs From Your Computer.",
        74: "Uninstallation Wizard will remove the software '%p' from your computer.",
        75: "Please wait while all the components are removed.",
        76: "Uninstallation was successful.",
        89: "The uninstallation information of '%p' could not be removed from the "
            "registry. The uninstallation cannot continue.",
        90: "Uninstall Error",
        96: "Restart Required",
        97: "Your computer must be restarted to complete the uninstallation of '%p'."
            "\\nDo you want to restart now?",
        100: "Yes",
        101: "Yes to all",
        102: "No",
        103: "No to all",
        104: "Would you like to delete a system file?\\n(The file is not in use by any "
             "application, it is safe to delete.)",
    },
    "German": {
        "name": "Deutsch",
        52: "Fertig stellen",
        71: "Deinstallation",
        72: "Möchten Sie '%p' und alle zugehörigen Komponenten vollständig entfernen?",
        73: "Programme von Ihrem Computer entfernen.",
        74: "Der Deinstallations-Assistent entfernt die Software '%p' von Ihrem Computer.",
        75: "Bitte warten Sie, während alle Komponenten entfernt werden.",
        76: "Die Deinstallation war erfolgreich.",
        89: "Die Deinstallationsinformationen von '%p' konnten nicht aus der Registrierung "
            "entfernt werden. Die Deinstallation kann nicht fortgesetzt werden.",
        90: "Deinstallationsfehler",
        96: "Neustart erforderlich",
        97: "Der Computer muss neu gestartet werden, um die Deinstallation von '%p' "
            "abzuschließen.\\nMöchten Sie den Computer jetzt neu starten?",
        100: "Ja",
        101: "Ja, alle",
        102: "Nein",
        103: "Nein, keine",
        104: "Möchten Sie eine Systemdatei löschen?\\n(Die Datei wird von keiner Anwendung "
             "verwendet und kann gefahrlos gelöscht werden.)",
    },
    "French": {
        "name": "Français",
        52: "Terminer",
        71: "Désinstallation",
        72: "Voulez-vous vraiment supprimer complètement '%p' et tous ses composants ?",
        73: "Supprimer des programmes de votre ordinateur.",
        74: "L'Assistant de désinstallation va supprimer le logiciel '%p' de votre ordinateur.",
        75: "Veuillez patienter pendant la suppression de tous les composants.",
        76: "La désinstallation a réussi.",
        89: "Les informations de désinstallation de '%p' n'ont pas pu être supprimées du "
            "registre. La désinstallation ne peut pas continuer.",
        90: "Erreur de désinstallation",
        96: "Redémarrage nécessaire",
        97: "Votre ordinateur doit être redémarré pour terminer la désinstallation de '%p'."
            "\\nVoulez-vous redémarrer maintenant ?",
        100: "Oui",
        101: "Oui pour tout",
        102: "Non",
        103: "Non pour tout",
        104: "Voulez-vous supprimer un fichier système ?\\n(Ce fichier n'est utilisé par "
             "aucune application, il peut être supprimé sans risque.)",
    },
}


def key(name):
    return f"str{name}" if isinstance(name, int) else name


def lines():
    yield "; Texts of the uninstaller, one section per language."
    yield "[general]"
    for name, value in GENERAL.items():
        yield f"{name}={value}"
    for section, entries in LANGUAGES.items():
        yield ""
        yield f"[{section}]"
        for name, value in entries.items():
            assert ";" not in value, f"[{section}] {key(name)}: a semicolon would start a comment"
            yield f"{key(name)}={value}"


def main():
    text = "\ufeff" + "".join(line + "\r\n" for line in lines())
    (Path(__file__).resolve().parent / "lang.ini").write_bytes(text.encode("utf-16-le"))


if __name__ == "__main__":
    main()
