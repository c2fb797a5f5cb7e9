Tipps wieder einschalten
Haben Sie „Tipps nicht mehr anzeigen“ angekreuzt? In Schritt 3 können Sie die Tipps jederzeit wieder einschalten.
