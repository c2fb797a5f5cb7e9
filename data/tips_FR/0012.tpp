Effets de transition
À l’étape 3, désactivez les transitions, choisissez un effet précis ou laissez Lumerix choisir les effets au hasard.
Le petit aperçu montre aussitôt l’effet choisi.
