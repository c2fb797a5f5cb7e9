Migliorare le immagini
Le finestre luminosità / contrasto / colore e correzione rosso/verde/blu mostrano l’originale e un’anteprima affiancati.
L’immagine della presentazione cambia solo quando salva.
