Benvenuto in Lumerix!
La sua presentazione in quattro passi: scegliere le immagini, scegliere la musica, definire le impostazioni, creare e avviare la presentazione.
Basta seguire le quattro schede da sinistra a destra.
