Réactiver les astuces
Vous avez coché la case qui masque les astuces ? Vous pouvez les réactiver à tout moment à l’étape 3.
