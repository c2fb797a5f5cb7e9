Stampare un album fotografico
Il pulsante di stampa al passo 1 stampa tutte le immagini o quelle scelte come album su pagine A4.
Scelga 9 x 13, 10 x 15, 13 x 18 cm o una larghezza a piacere, se vuole con le didascalie.
