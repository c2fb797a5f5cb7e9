Überblendeffekte
In Schritt 3 schalten Sie die Überblendungen aus, wählen einen bestimmten Effekt oder lassen Lumerix die Effekte zufällig wählen.
Die kleine Vorschau zeigt den gewählten Effekt sofort an.
