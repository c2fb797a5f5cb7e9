Selbst weiterblättern
Bei Vollbild-Anzeige können Sie in Schritt 3 zusätzlich das Weiterschalten mit den Pfeiltasten einschalten.
Dann bestimmen Sie selbst, wann das nächste Bild kommt – ideal für einen Vortrag.
