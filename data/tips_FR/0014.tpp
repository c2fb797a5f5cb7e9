Cinq façons de montrer votre diaporama
À l’étape 4, choisissez : diaporama pour ce PC, CD-ROM à démarrage automatique, économiseur d’écran, vidéo pour lecteur DVD ou page Internet.
