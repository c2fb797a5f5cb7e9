Essayez l’exemple
Sur l’écran d’accueil, ouvrez le diaporama d’exemple : il contient déjà des images, des légendes et de la musique.
Parcourez avec lui les quatre étapes – c’est le moyen le plus rapide de découvrir Lumerix.
