Didascalie e ordine
Selezioni un’immagine e scriva la sua didascalia (fino a 58 caratteri, senza «|» e «>»).
Per cambiare l’ordine, trascini un’immagine con il mouse nella nuova posizione.
