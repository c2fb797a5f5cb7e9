Avancer vous-même
En affichage plein écran, vous pouvez aussi choisir à l’étape 3 de passer d’une image à l’autre avec les touches fléchées.
Vous décidez alors du moment où vient l’image suivante – idéal pour un exposé.
