Imprimer un album photo
Le bouton d’impression de l’étape 1 imprime toutes les images ou une sélection sous forme d’album sur des pages A4.
Choisissez 9 x 13, 10 x 15, 13 x 18 cm ou votre propre largeur – avec les légendes si vous le souhaitez.
