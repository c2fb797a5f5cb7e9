Ajouter des images
À l’étape 1, ouvrez un dossier contenant des images JPEG. « > » ajoute les images sélectionnées, « >> » les ajoute toutes.
Vous pouvez aussi faire glisser les images avec la souris à l’endroit voulu du diaporama.
Lumerix travaille sur des copies : vos originaux restent intacts.
