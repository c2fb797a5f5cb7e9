Ruotare, capovolgere, annullare
Una foto verticale appare coricata? Con un clic ruoti l’immagine selezionata di 90° o 180°, oppure la capovolga a specchio.
Il pulsante Annulla ripristina le ultime modifiche, purché non abbia ancora selezionato un’altra immagine.
