#include "i18n/messages.h"

namespace vestrel {

namespace {

constexpr std::string_view kMessages[kMessageCount + 1] = {
    "",
    "Konte die folgende Datei nicht öffnen: ",
    "Bitte schließen Sie das Program und starten Sie es neu.",
    "Übersetzen",
    "",
    "",
    "Die folgende Datei konnte nicht zum Schreiben geöffnet werden: ",
    "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?",
    "Speichern",
    "Die DXF Version dieser DXF Datei unterstützt keine Linienbreiten.",
    "Die DXF Version dieser DXF untersützt keine solchen Spline Objekte.",
    "DXF Datei",
    "Die DXF Version dieser DXF Datei unterstützt keine Ellipsen.",
    "Die DXF Version dieser DXF Datei unterstützt keine Konstruktionslinien.",
    "Rot",
    "Gelb",
    "Grün",
    "Hellblau",
    "Blau",
    "Rosa",
    "Schwarz",
    "Grau",
    "Hellgrau",
    "Unsichtbar",
    "Sichtbar",
    "Gesperrt",
    "Entsperrt",
    "Es existiert bereits eine Ebene mit diesem Namen.",
    "Sie haben keinen Namen für die neue Ebene eingegeben.",
    "Es existiert leider schon ein Linienstil mit diesem Namen.",
    "Sie haben die Längen nicht korrekt eingegeben.",
    "Sie haben leider keinen korrekten Namen für den Linienstil eingegeben.",
    "Konnte folgende Datei nicht öffnen: ",
    "Die DXF Version dieser DXF Datei unterstützt keine Strahlen.",
    "unbenannt.dxf",
    "",
    "Die DXF Version dieser DXF untersützt keine mehrzeilen Texte. Es wird nur die erste Zeile verwendet.",
    "Die DXF Version dieser DXF untersützt keine solchen \"LEADER\" Objekte.",
    "Die Zeichnung hat keinen Abschnitt für Objekte (ENTITIES); es wurde nichts eingefügt.",
    "Ein Wert ist keine gültige Zahl; es wurde nichts eingefügt.",
    "Die Zeichnung hat keine freien Kennungen (Handles) mehr; es wurde nichts eingefügt.",
    "Der Arbeitsspeicher reicht nicht aus. Die Zeichnung ist vollständig erhalten und kann gespeichert werden.",
    "Der Name der neuen Ebene enthält Zeichen, die in Ebenennamen nicht erlaubt sind (< > / \\ \" : ; ? * | , = ` und "
    "Steuerzeichen) oder die diese DXF Datei nicht speichern kann.",
    "Die Übersetzungsdatei ist beschädigt und wurde nur gelesen, soweit sie lesbar ist. Bevor das Wörterbuch neu "
    "geschrieben wird, wird sie als translate.dat.bad aufbewahrt: ",
    "Die Spracheinstellung konnte nicht gespeichert werden: ",
    "Gefunden. Weitersuchen?",
    "Soll dieser Eintrag aus dem Wörterbuch gelöscht werden?",
    "Das Makro konnte nicht gespeichert werden: ",
    "Das Makro lief nicht zu Ende: ",
    "Ein Wert ist keine gültige Zahl; es wurde nichts geändert.",
    "Der Skalierungsfaktor muss größer als 0 sein; es wurde nichts geändert.",
    "Ein Array braucht mindestens eine und höchstens 10000 Spalten und Zeilen; es wurde nichts eingefügt.",
    "Das Array wäre zu groß (mehr als 100000 Kopien oder 10 Millionen neue Zeilen); es wurde nichts eingefügt.",
    "Die folgende Datei wurde seit dem Öffnen oder Speichern von einem anderen Programm geändert. Speichern würde "
    "diese Änderungen überschreiben, Neu laden die Änderungen hier verwerfen: ",
    "Die folgende Datei wurde seit dem Öffnen oder Speichern gelöscht oder umbenannt: ",
    "Die folgende Datei ist bereits in einem anderen Vestrel geöffnet. Wer später speichert, wird gefragt, bevor "
    "er die Änderungen des anderen überschreibt: ",
    "Vestrel wurde nicht ordnungsgemäß beendet. Soll diese Zeichnung mit ihren nicht gespeicherten Änderungen "
    "wiederhergestellt werden? ",
    "Die Datei, von der die Zeichnung ausging, wurde seitdem geändert oder entfernt. Die wiederhergestellte "
    "Zeichnung hat deshalb noch keinen Namen und wird unter einem neuen gespeichert: ",
    "Die Zeichnung kann nicht wiederhergestellt werden, weil die Datei, von der sie ausging, seitdem geändert "
    "wurde. Die Wiederherstellungsdatei bleibt erhalten: ",
    "Es gibt keine Zeichnung zum Wiederherstellen.",
    "Die Wiederherstellungsdatei war beschädigt; die Zeichnung wurde bis zu ihrem letzten vollständigen Schritt "
    "wiederhergestellt.",
    "Die nicht gespeicherten Änderungen können nicht zur Wiederherstellung aufgezeichnet werden: ",
    "Der Name des Linienstils enthält Zeichen, die in Namen nicht erlaubt sind (< > / \\ \" : ; ? * | , = ` und "
    "Steuerzeichen) oder die diese DXF Datei nicht speichern kann.",
    "Der eingegebene Text enthält Steuerzeichen (etwa einen Zeilenumbruch), die hier nicht in der DXF Datei stehen "
    "dürfen; es wurde nichts geändert.",
    "Die beiden Punkte der Spiegelachse fallen zusammen; es wurde nichts geändert.",
    "Eine Achse der Ellipse hätte keine Länge; es wurde nichts geändert.",
    "Dieser Text wird nicht übernommen: mit ihm würde das Wörterbuch größer, als es beim nächsten Start gelesen "
    "werden kann.",
    "Das Makro kann nicht gelesen werden: ",
    "", "", "", "",
    "Die Kopien des Arrays werden erstellt...",
    "Bitte einen Punkt eingeben: x,y oder @dx,dy oder @Abstand<Winkel.",
    "Die Eingabe ist kein Punkt; erwartet wird x,y oder @dx,dy oder @Abstand<Winkel (Winkel in Grad).",
    "Die Eingabe ist mehrdeutig: das Komma trennt die Zahlen und kann hier auch Dezimalzeichen sein. Bitte den "
    "Punkt als Dezimalzeichen verwenden.",
    "Der Punkt liegt zu weit draußen (mehr als 10^12 Einheiten vom Ursprung).",
    "Es gibt noch keinen letzten Punkt, auf den sich @ beziehen kann.",
    "Rasterabstand und Polarwinkel müssen größer als 0 sein (der Winkel höchstens 180°); es wurde nichts geändert.",
    "Keine zwei der gewählten Linien, Bögen und offenen Polylinien treffen sich innerhalb der Toleranz; es wurde "
    "nichts geändert.",
    "Verbinden geht nur mit Linien, Bögen und 2D-Polylinien; es wurde nichts geändert. Gewählt ist auch: ",
    "Zerlegen geht nur mit 2D-Polylinien, Blockbezügen, Bemaßungen und Schraffuren; es wurde nichts geändert. "
    "Gewählt ist auch: ",
    "Nicht verbunden, da nicht in der Ebene des ersten Teils: ",
    "Die gewählten Polylinien haben keine Länge; es wurde nichts geändert.",
    "Abstand %1, dx %2, dy %3, Winkel %4°",
    "Winkel %1°",
    "Fläche %1, Umfang %2",
    "Nur geschlossene Objekte haben eine Fläche; nicht geschlossen ist: ",
    "Dieses Objekt hat keine Länge: ",
    "Ein Schenkel des Winkels hat keine Länge.",
    // 90 to 94: trimming and extending
    "Stutzen geht nur mit Linien, Bögen, Kreisen, Ellipsen, 2D-Polylinien und Splines; es wurde nichts geändert. "
    "Angeklickt ist: ",
    "Keine Schnittkante kreuzt das Objekt neben dem angeklickten Punkt; es wurde nichts geändert.",
    "Vor diesem Ende liegt keine Begrenzungskante; es wurde nichts geändert.",
    "Hier liegt kein Objekt; es wurde nichts geändert.",
    "Dehnen geht nur mit Linien, Bögen, elliptischen Bögen, offenen 2D-Polylinien und offenen Splines; es wurde "
    "nichts geändert. Angeklickt ist: ",
    // 95 to 99: parallels
    "Parallelen gibt es nur zu Linien, Bögen, Kreisen, Ellipsen, 2D-Polylinien und ebenen Splines; es wurde nichts "
    "geändert. Gewählt ist: ",
    "Auf dieser Seite bleibt in diesem Abstand keine Parallele übrig (der Radius würde 0 oder kleiner); es wurde "
    "nichts geändert.",
    "Der Punkt liegt auf dem Objekt: er zeigt keine Seite; es wurde nichts geändert.",
    "", "",
    // 100 to 104: fillets and chamfers
    "Abrunden geht mit zwei Linien oder Bögen, oder an einer Ecke einer 2D-Polylinie; es wurde nichts geändert. "
    "Gewählt ist: ",
    "Fasen geht mit zwei Linien, oder an einer Ecke einer 2D-Polylinie; es wurde nichts geändert. Gewählt ist: ",
    "Die beiden Linien sind parallel und bilden keine Ecke; es wurde nichts geändert.",
    "Radius oder Abstand sind für diese Ecke zu groß; es wurde nichts geändert.",
    "Hier lässt sich keine Ecke machen: die Objekte berühren sich schon, treffen sich nicht, liegen nicht in einer "
    "Ebene, oder es sind keine zwei aneinanderstoßenden Segmente; es wurde nichts geändert.",
    // 105 to 109: breaking and lengthening
    "Brechen geht nur mit Linien, Bögen, Kreisen, Ellipsen, 2D-Polylinien und Splines; es wurde nichts geändert. "
    "Gewählt ist: ",
    "Verlängern geht nur mit Linien, Bögen, elliptischen Bögen, offenen 2D-Polylinien und offenen Splines; es wurde "
    "nichts geändert. Gewählt ist: ",
    "Vom Objekt bliebe nichts übrig; es wurde nichts geändert.",
    "Der Bogen würde sich zum ganzen Kreis schließen; es wurde nichts geändert.",
    "Hier lässt sich nicht an einem Punkt brechen: ein Kreis oder eine ganze Ellipse braucht zwei Punkte, ein offenes "
    "Objekt einen Punkt zwischen seinen Enden; es wurde nichts geändert.",
    // 110 to 114: exploding references, dimensions and hatches
    "Der Block enthält ein Objekt, das so verzerrt (ungleich skaliert, oder als Bemaßung verschoben) nicht "
    "dargestellt werden kann; es wurde nichts geändert. Das Objekt: ",
    "Der Blockbezug nennt einen Block, den die Zeichnung nicht hat; es wurde nichts geändert. Der Block: ",
    "Das Zerlegen ergäbe zu viele Objekte; es wurde nichts geändert.",
    // 113 to 116: the cut repair
    "Bereinigt: %1 doppelte Objekte gelöscht, %2 überlappende gekürzt, %3 Enden zusammengeführt, %4 Konturen "
    "geschlossen, %5 Lücken überbrückt.",
    "Es gab nichts zu bereinigen; die Zeichnung bleibt, wie sie ist.",
    "", "",
    // 117 to 122: "Zuschnitt prüfen"
    "Weitere %1 sind hier nicht aufgeführt.", "", "", "", "", "",
    // 123 to 125: not used here
    "", "", "",
    // 126 to 130: ready to cut
    "Die Zeichnung ist bereit zum Zuschneiden.",
    "Die Zeichnung ist nicht bereit zum Zuschneiden.",
    "Offene Kontur;Fast treffende Enden;Doppelt;Überlappung;Zu kurzes Segment;Ohne Länge;Selbstüberschneidung;"
    "Nicht schneidbar;Teil;Gesamt",
    "%1 bei %2, %3: %4 (%5)",
    "%1: Schnittlänge %2, Einstiche %3, Fläche %4, Box %5, %6 bis %7, %8",
};

}  // namespace

std::string_view GermanMessage(int nr) { return nr >= 1 && nr <= kMessageCount ? kMessages[nr] : std::string_view{}; }

}  // namespace vestrel
