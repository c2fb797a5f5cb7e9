Vos photos sur Internet
La sortie page Internet crée une galerie avec une page d’aperçu et une page pour chaque image.
Le bouton de mise en ligne transfère ensuite la galerie par FTP sur votre espace web.
