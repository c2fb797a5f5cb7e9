Faire pivoter, retourner, annuler
Une photo en portrait couchée sur le côté ? Faites pivoter l’image sélectionnée de 90° ou 180°, ou retournez-la, d’un simple clic.
Le bouton Annuler revient sur vos dernières modifications – tant que vous n’avez pas sélectionné une autre image.
