La musique d’un CD audio
Insérez un CD audio et lancez l’importation du CD à l’étape 2.
Les morceaux importés apparaissent aussitôt dans la liste musicale de votre diaporama.
