Bienvenue dans Lumerix !
Votre diaporama en quatre étapes : choisir les images, choisir la musique, régler les paramètres, créer et lancer le diaporama.
Il suffit de parcourir les quatre onglets de gauche à droite.
