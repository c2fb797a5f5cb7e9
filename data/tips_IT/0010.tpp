Musica da un CD audio
Inserisca un CD audio e avvii l’importazione del CD al passo 2.
I brani importati compaiono subito nell’elenco musicale della sua presentazione.
