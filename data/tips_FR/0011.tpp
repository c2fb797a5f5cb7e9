Combien de temps dure chaque image ?
À l’étape 3, indiquez le nombre de secondes par image (en secondes entières).
Exemple : 36 images de 5 secondes font 3 minutes – vous accordez ainsi facilement le diaporama à la durée de votre musique.
