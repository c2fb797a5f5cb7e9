Quanto dura ogni immagine?
Al passo 3 stabilisca i secondi per immagine (solo secondi interi).
Esempio: 36 immagini da 5 secondi fanno 3 minuti: così adatta facilmente la presentazione alla durata della musica.
