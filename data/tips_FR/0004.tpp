Légendes et ordre des images
Sélectionnez une image et saisissez sa légende (58 caractères au maximum, sans « | » ni « > »).
Pour changer l’ordre, faites glisser une image avec la souris à sa nouvelle place.
