Aggiungere immagini
Al passo 1 apra una cartella con immagini JPEG. «>» aggiunge le immagini selezionate, «>>» le aggiunge tutte.
Può anche trascinare le immagini con il mouse nel punto desiderato della presentazione.
Lumerix lavora su copie: i suoi originali restano invariati.
