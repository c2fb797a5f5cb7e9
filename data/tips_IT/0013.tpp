Sfogliare da sé
Con la visualizzazione a schermo intero può anche scegliere al passo 3 di passare da un’immagine all’altra con i tasti freccia.
Così decide lei quando arriva l’immagine successiva: ideale per una conferenza.
