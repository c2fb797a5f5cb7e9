Votre propre économiseur d’écran
À l’étape 4, choisissez l’économiseur d’écran et cochez les diaporamas souhaités.
Votre écran affiche alors vos plus belles photos à chaque pause.
