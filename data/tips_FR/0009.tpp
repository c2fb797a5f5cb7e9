De la musique pour votre diaporama
À l’étape 2, ajoutez des fichiers MP3 ou WAV. Ils doivent être en stéréo à 44,1 kHz – c’est presque toujours le cas de la musique issue d’un CD.
Faites glisser les morceaux dans l’ordre souhaité et écoutez-les d’abord avec les boutons lecture, pause et arrêt.
